#include "window_state.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "message_pump.h"
#include "test_windows.h"

namespace e2e {

namespace {

bool contains(const std::vector<HWND> &windows, HWND window) {
  for (HWND candidate : windows) {
    if (candidate == window) return true;
  }
  return false;
}

std::string windowStates(HWND window) {
  std::string states;
  if (window == GetForegroundWindow()) states += " [foreground]";
  if (IsIconic(window)) states += " [minimised]";
  if (IsZoomed(window)) states += " [maximised]";
  return states;
}

bool isTopmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool isHighestOrdinaryWindow(HWND window) {
  for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (IsWindowVisible(above) && !isTopmost(above)) return false;
  }
  return true;
}

// A window that is not the scenario's own, by title, class and process.
std::string describeOther(HWND window) {
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char text[192];
  snprintf(text, sizeof text, "\"%s\" of class %s%s", windowTitle(window).c_str(), className,
           process == GetCurrentProcessId() ? " (this process)" : " (another process)");
  return text;
}

}  // namespace

std::vector<HWND> zOrderOf(const std::vector<HWND> &windows) {
  std::vector<HWND> order;
  for (HWND window = GetTopWindow(NULL); window != NULL; window = GetWindow(window, GW_HWNDNEXT)) {
    if (contains(windows, window)) order.push_back(window);
  }
  return order;
}

void stackFromTop(const std::vector<HWND> &windows) {
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

bool activate(HWND window) {
  SetForegroundWindow(window);
  return pumpUntil(
      [&] { return GetForegroundWindow() == window && isHighestOrdinaryWindow(window); });
}

bool desktopIs(const std::vector<HWND> &expected, HWND foreground) {
  return zOrderOf(expected) == expected && GetForegroundWindow() == foreground;
}

std::string describeDesktop(const std::vector<HWND> &windows) {
  std::string text = "top to bottom:";
  const char *separator = " ";
  for (HWND window : zOrderOf(windows)) {
    text += separator + windowTitle(window) + windowStates(window);
    separator = ", ";
  }
  HWND foreground = GetForegroundWindow();
  if (foreground == NULL) text += "; no foreground window";
  if (foreground != NULL && !contains(windows, foreground)) {
    text += "; foreground: " + describeOther(foreground);
  }
  return text;
}

}  // namespace e2e
