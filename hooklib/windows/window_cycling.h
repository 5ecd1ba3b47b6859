// The actions that cycle through the z-order the way the keyboard's
// Alt+Esc and Alt+Shift+Esc do, and the one that minimises whatever window
// leads the z-order.
#pragma once

#include <windows.h>

void likeAAltEsc(HWND window, int minimizedPolicy);
void likeAAltShiftEsc(HWND window, int minimizedPolicy);
void minimizeTopWindow(HWND window, int minimizedPolicy);
