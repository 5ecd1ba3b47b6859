// Walks over the z-order among the siblings of a window, and the two tests
// (eligible, normal) that say where a walk stops.
#include "windows/navigation.h"

#include <windows.h>

#include "windows/last_activated_window.h"

namespace {

// No desktop holds more windows than the window manager has handles. A walk
// that takes more steps than this is chasing a z-order that keeps changing
// under it, and gives up.
const int MAX_WALK_STEPS = 65536;

// A tool window takes part only when it also asks for a taskbar button.
const DWORD TOOL_OR_APP_WINDOW = WS_EX_TOOLWINDOW | WS_EX_APPWINDOW;

int isAppWindowKind(DWORD exStyle) { return (exStyle & TOOL_OR_APP_WINDOW) != WS_EX_TOOLWINDOW; }

// Of all child windows only MDI children are siblings worth stopping at.
int isChildAllowed(DWORD style, DWORD exStyle) {
  return !(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD);
}

UINT stepOf(UINT direction) {
  if (direction == GW_HWNDFIRST) return GW_HWNDNEXT;
  if (direction == GW_HWNDLAST) return GW_HWNDPREV;
  return direction;
}

// The last sibling in the stepping direction; fixed before a walk begins.
HWND walkEnd(HWND candidate, UINT step) {
  return GetWindow(candidate, step == GW_HWNDNEXT ? GW_HWNDLAST : GW_HWNDFIRST);
}

int isValidDirection(UINT direction) {
  return direction == GW_HWNDFIRST || direction == GW_HWNDLAST || direction == GW_HWNDNEXT ||
         direction == GW_HWNDPREV;
}

HWND walk(HWND window, UINT direction, int (*passes)(HWND, UINT)) {
  if (!isValidDirection(direction)) return NULL;
  HWND candidate = GetWindow(window, direction);
  UINT step = stepOf(direction);
  HWND end = walkEnd(candidate, step);
  for (int steps = 0; candidate != NULL && steps < MAX_WALK_STEPS; ++steps) {
    if (passes(candidate, step)) return candidate;
    if (candidate == end) return NULL;
    candidate = GetWindow(candidate, step);
  }
  return NULL;
}

int passesNormalTest(HWND window, UINT) { return isNormalWindow(window); }

}  // namespace

int isEligibleWindow(HWND window, UINT step) {
  DWORD style = windowStyle(window);
  if ((style & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE) return 0;
  DWORD exStyle = windowExStyle(window);
  if (!isChildAllowed(style, exStyle)) return 0;
  if (step == GW_HWNDNEXT && (exStyle & WS_EX_TOPMOST)) return 0;
  if (!isAppWindowKind(exStyle)) return 0;
  return hasNonEmptyRect(window);
}

int isNormalWindow(HWND window) {
  DWORD style = windowStyle(window);
  if ((style & (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE)) != WS_VISIBLE) return 0;
  DWORD exStyle = windowExStyle(window);
  if (!isChildAllowed(style, exStyle)) return 0;
  if (exStyle & WS_EX_TOPMOST) return 0;
  if (!isAppWindowKind(exStyle)) return 0;
  return hasNonEmptyRect(window);
}

HWND nextEligibleWindow(HWND window, UINT direction) {
  return walk(window, direction, isEligibleWindow);
}

HWND nextNormalWindow(HWND window, UINT direction) {
  return walk(window, direction, passesNormalTest);
}

int isTopOfZOrder(HWND window) {
  if (window == NULL) return 0;
  HWND lastActivated = lastActivatedWindow;
  if (lastActivated != NULL && lastActivated != window) return 0;
  if (windowExStyle(window) & WS_EX_TOPMOST) return 1;
  return window == nextNormalWindow(window, GW_HWNDFIRST);
}
