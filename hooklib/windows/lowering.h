// Sending a window to the back and activating the window that then leads
// the z-order.
#pragma once

#include <windows.h>

// Sends the window to the back and activates the highest eligible sibling.
void lowerAndSwitch(HWND window, int minimizedPolicy, int isMdiChild);

// As lowerAndSwitch for a top-level window, but never activates the window
// itself when its lowering has not taken effect yet.
void lowerAndSwitchToOther(HWND window, int minimizedPolicy);
