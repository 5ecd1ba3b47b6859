// The window activated last, as the call-window-return hook records it at
// every WM_ACTIVATE: the foreground test takes it for the window in front
// (windows/navigation.h, isTopOfZOrder).
#pragma once

#include <windows.h>

// Records the foreground window as the window activated last and returns
// it; with no foreground window nothing is recorded and none is returned.
HWND recordActivatedWindow(void);
