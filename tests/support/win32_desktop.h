// Small pieces of desktop handling through the Win32 API alone, free of
// GoogleTest, shared by the desktop tests, the fuzzers and the measuring
// programs.
#pragma once

#include <windows.h>

namespace vorntest {

// Tests place windows by position and size, as CreateWindowExA takes them.
inline RECT rectAt(int left, int top, int width, int height) {
  RECT rect = {left, top, left + width, top + height};
  return rect;
}

// Delivers whatever is queued for this thread, as a message loop would.
inline void pumpThreadMessages() {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace vorntest
