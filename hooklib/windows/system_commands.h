// Minimising, maximising and restoring by system command. The commands are
// posted, so the window's own thread carries them out with its own rules
// (a window may refuse or animate), and no hook ever waits for it.
#pragma once

#include <windows.h>

// Asks the window to minimise itself when its root window is a visible,
// enabled, non-popup window and the window is no tool window.
void minimizeIfAllowed(HWND window);

// Asks a maximised window to restore itself, and any other non-popup window
// to maximise itself.
void toggleMaximize(HWND window);

// Asks the outermost parent of `window` to close, as its caption's close
// button does: the program may still ask to save, or refuse.
void closeWindow(HWND window);
