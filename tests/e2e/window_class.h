// Window classes and windows of the test programs, shared by the
// scenarios' windows and the soak's, which the window host makes too:
// classes with an arrow cursor and the system's window colour, so that
// screenshots show ordinary windows; the marker window that gestures end
// on (mouse_input.h); and where a mouse message's pointer was.
#pragma once

#include <windows.h>

namespace e2e {

// Small enough to stay out of the way in a corner of the screen.
const int MARKER_WINDOW_SIZE = 16;

// Registers `name` with `procedure` for this module; registering a class
// twice does nothing.
void registerPlainWindowClass(const char *name, WNDPROC procedure);

// A marker window of `className` with its top left corner at `corner`.
// Topmost, a tool window and never activated: vorn's window walks pass
// over it, and moving onto it changes nothing on the desktop.
HWND createMarkerWindowAt(const char *className, const char *title, POINT corner);

// Client and non-client mouse messages alike.
bool isMouseMessage(UINT message);

// Where the pointer was on the screen when `window` received `message`.
POINT screenPointOf(HWND window, UINT message, LPARAM lParam);

}  // namespace e2e
