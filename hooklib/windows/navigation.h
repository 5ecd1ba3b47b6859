// Window navigation: from the window under the pointer to the window a click
// is about, walks over the z-order, and the two z-order moves. Nothing is
// cached or allocated: every call asks the system afresh. The one state
// read is lastActivatedWindow (by isTopOfZOrder), which any process may
// change at any moment.
#pragma once

#include <windows.h>

// The last window of the GetParent chain (parents and owners); the window
// itself when it has none; none for none.
HWND rootParent(HWND window);

// GetLastActivePopup of rootParent(window).
HWND lastActivePopupOfRoot(HWND window);

// The top-level or popup window that a click on `window` is about.
HWND clickTarget(HWND window);

// As clickTarget, but an MDI child window is a stop too.
HWND activationTarget(HWND window);

// The style and extended style words of `window` (0 for a window that has
// gone away), and whether its screen rectangle has positive width and height.
DWORD windowStyle(HWND window);
DWORD windowExStyle(HWND window);
int hasNonEmptyRect(HWND window);

// 1 when the desktop window manager cloaks `window` (a suspended store app,
// a window on another virtual desktop): the system still calls it visible,
// enabled and non-empty, but the user cannot see it, and activating it
// would switch the virtual desktop.
int isCloakedWindow(HWND window);

// 1 when `window` passes the eligible test of a walk stepping `step`. A
// cloaked window passes neither this test nor the normal one.
int isEligibleWindow(HWND window, UINT step);

// 1 when `window` passes the normal test (eligible, not minimised, never
// topmost).
int isNormalWindow(HWND window);

// The first eligible (normal) window of the walk from `window` in
// `direction` (GW_HWNDFIRST, GW_HWNDLAST, GW_HWNDNEXT, GW_HWNDPREV), or none.
// The end of the walk is fixed before it starts and it never wraps around;
// a walk whose z-order changes under it still ends, with none when stepping
// runs out or exceeds any real number of siblings.
HWND nextEligibleWindow(HWND window, UINT direction);
HWND nextNormalWindow(HWND window, UINT direction);

// 1 when `window` counts as the top of the z-order. None never does, nor a
// cloaked window; cloaked windows above it do not count.
int isTopOfZOrder(HWND window);

// Brings `window` to the top without activating it. Always 1.
int raiseWithoutActivating(HWND window);

// Sends `window` to the bottom (a topmost window: below the other eligible
// topmost windows; it stays put when no eligible topmost window lies above
// the highest eligible normal one). Always 1.
int lowerWindow(HWND window);
