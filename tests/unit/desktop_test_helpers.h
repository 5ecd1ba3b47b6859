// Small helpers the desktop tests share: they run on winsim and under Wine
// alike, so they use nothing but the Win32 API.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/caller_trace.h"
#include "support/win32_desktop.h"

namespace desktop_test {

using vorntest::pumpThreadMessages;

// Registers a plain class of this module; its atom, or 0.
inline ATOM registerClass(const char *name, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass);
}

inline RECT windowRectOf(HWND window) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(window, &r);
  return r;
}

inline void expectRect(const RECT &r, LONG left, LONG top, LONG right, LONG bottom,
                       CALLER_PARAMETERS) {
  TRACE_CALLER();
  EXPECT_EQ(left, r.left);
  EXPECT_EQ(top, r.top);
  EXPECT_EQ(right, r.right);
  EXPECT_EQ(bottom, r.bottom);
}

// Destroys the windows a test made, newest first, so that an owner outlives
// what it owns; windows already gone are passed over.
inline void destroyNewestFirst(const std::vector<HWND> &made) {
  for (auto it = made.rbegin(); it != made.rend(); ++it) {
    if (IsWindow(*it)) DestroyWindow(*it);
  }
}

}  // namespace desktop_test
