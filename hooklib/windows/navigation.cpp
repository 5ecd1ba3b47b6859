// Window navigation: the facts about a window that navigation looks at,
// the climb from the window under the pointer to the window a click is
// about, the walks over the z-order and the two z-order moves.
#include "windows/navigation.h"

#include <windows.h>

#include "system/delay_loaded.h"
#include "windows/last_activated_window.h"

// ---- window facts ---------------------------------------------------------
// The three facts about a window that navigation looks at. A window that
// has gone away reads as style 0 and an empty rectangle, so it passes no
// test.

DWORD windowStyle(HWND window) { return (DWORD)GetWindowLongA(window, GWL_STYLE); }

DWORD windowExStyle(HWND window) { return (DWORD)GetWindowLongA(window, GWL_EXSTYLE); }

int hasNonEmptyRect(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(window, &rect);
  // What IsRectEmpty tells, compared here: one function fewer to import.
  return rect.right > rect.left && rect.bottom > rect.top;
}

// A system without the desktop window manager, or one that cannot tell,
// cloaks nothing.
int isCloakedWindow(HWND window) {
  DWORD cloaked = 0;
  HRESULT result =
      delayLoaded::DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
  return result == S_OK && cloaked != 0;
}

// ---- click targets --------------------------------------------------------
// From the window under the pointer to the window a click is about: climbs
// the GetParent chain (parents of child windows, owners of popups).

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

// ---- walks over the z-order -----------------------------------------------
// Walks over the z-order among the siblings of a window, and the two tests
// (eligible, normal) that say where a walk stops.

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

namespace {

// The eligible and the normal test are one test: the normal one also
// refuses minimised windows, and topmost ones in either direction. The
// question to the desktop window manager comes last, as the dearest.
int passesZOrderTest(HWND window, DWORD refusedStyle, int refusesTopmost) {
  DWORD style = windowStyle(window);
  if ((style & (WS_VISIBLE | refusedStyle)) != WS_VISIBLE) return 0;
  DWORD exStyle = windowExStyle(window);
  if (!isChildAllowed(style, exStyle)) return 0;
  if (refusesTopmost && (exStyle & WS_EX_TOPMOST)) return 0;
  if (!isAppWindowKind(exStyle)) return 0;
  return hasNonEmptyRect(window) && !isCloakedWindow(window);
}

}  // namespace

int isEligibleWindow(HWND window, UINT step) {
  return passesZOrderTest(window, WS_DISABLED, step == GW_HWNDNEXT);
}

int isNormalWindow(HWND window) { return passesZOrderTest(window, WS_DISABLED | WS_MINIMIZE, 1); }

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
  // The walk passes over a cloaked window; a topmost one is asked here.
  if (windowExStyle(window) & WS_EX_TOPMOST) return !isCloakedWindow(window);
  return window == nextNormalWindow(window, GW_HWNDFIRST);
}

// ---- z-order moves --------------------------------------------------------
// The two z-order moves. Both are asynchronous for windows of other
// threads (SWP_ASYNCWINDOWPOS): a hook must never wait for a thread that may
// itself be waiting, and so a walk right after a move may still see the old
// order.

namespace {

const UINT ZORDER_ONLY = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;

// A topmost window is lowered only among the topmost windows: it goes just
// below the lowest eligible topmost window, which the walk finds as the
// nearest eligible window above the highest eligible normal one. When that
// comes out as none, inserting after none would mean HWND_TOP, which
// raises instead of lowering; the window then stays where it is.
void lowerTopmostWindow(HWND window) {
  HWND firstNormal = nextEligibleWindow(window, GW_HWNDFIRST);
  HWND after = nextEligibleWindow(firstNormal, GW_HWNDPREV);
  if (after == NULL || after == window) return;
  SetWindowPos(window, after, 0, 0, 0, 0, ZORDER_ONLY);
}

}  // namespace

int raiseWithoutActivating(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, ZORDER_ONLY);
  return 1;
}

int lowerWindow(HWND window) {
  if (windowExStyle(window) & WS_EX_TOPMOST) {
    lowerTopmostWindow(window);
  } else {
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, ZORDER_ONLY);
  }
  return 1;
}
