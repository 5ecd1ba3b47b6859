// Activating the window an action has chosen. `minimizedPolicy` says what
// to do when that window is minimised (POLICY_NONE, POLICY_SKIP,
// POLICY_RESTORE). Given none, each of them changes nothing.
#pragma once

#include <windows.h>

// Makes a top-level window the foreground window and raises it.
void activateTopLevel(HWND window, UINT direction, int minimizedPolicy);

// Activates an MDI child window inside its frame and raises it among its
// siblings.
void activateMdiChild(HWND window, UINT direction, int minimizedPolicy);

// Activates the window itself: an MDI child through its MDI client window,
// a top-level window by raising it and making it the foreground window.
void activateWindow(HWND window, int isMdiChild);

// Makes sure some window is the foreground window. Always 1.
int ensureForegroundWindow(HWND window);
