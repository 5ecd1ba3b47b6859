// From the window under the pointer to the window a click is about: climbs
// the GetParent chain (parents of child windows, owners of popups).
#include "windows/navigation.h"

#include <windows.h>

namespace {

// Visible and enabled: the style bits a click target and an activation
// target need whatever else they are.
const DWORD SHOWN_AND_ENABLED_MASK = WS_VISIBLE | WS_DISABLED;

int isShownAndEnabled(DWORD style) { return (style & SHOWN_AND_ENABLED_MASK) == WS_VISIBLE; }

// A visible, enabled window that is no child window.
int isClickStop(HWND window) {
  DWORD style = windowStyle(window);
  if ((style & (SHOWN_AND_ENABLED_MASK | WS_CHILD)) != WS_VISIBLE) return 0;
  return hasNonEmptyRect(window);
}

// As isClickStop, but an MDI child window stops the climb too.
int isActivationStop(HWND window) {
  DWORD style = windowStyle(window);
  if (!isShownAndEnabled(style)) return 0;
  if ((style & WS_CHILD) && !(windowExStyle(window) & WS_EX_MDICHILD)) return 0;
  return hasNonEmptyRect(window);
}

// The last window of a chain may be a child window: its WS_CHILD bit is not
// looked at.
int isChainEndTarget(HWND window) {
  return isShownAndEnabled(windowStyle(window)) && hasNonEmptyRect(window);
}

HWND climbToTarget(HWND window, int (*isStop)(HWND)) {
  HWND current = window;
  while (GetParent(current) != NULL) {
    if (isStop(current)) break;
    current = GetParent(current);
  }
  if (isChainEndTarget(current)) return current;
  return lastActivePopupOfRoot(current);
}

}  // namespace

HWND rootParent(HWND window) {
  HWND current = window;
  for (HWND parent = GetParent(current); parent != NULL; parent = GetParent(current)) {
    current = parent;
  }
  return current;
}

HWND lastActivePopupOfRoot(HWND window) { return GetLastActivePopup(rootParent(window)); }

HWND clickTarget(HWND window) { return climbToTarget(window, isClickStop); }

HWND activationTarget(HWND window) { return climbToTarget(window, isActivationStop); }
