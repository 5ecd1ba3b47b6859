// The scenarios' windows: ordinary captioned top-level windows of this
// process that log the messages they receive; a hidden window that hears
// the daemon announce each install, reinstall and removal of its hooks (a
// broadcast WM_WININICHANGE); and the marker window, a tiny topmost tool
// window in a corner that a gesture's last move goes to (mouse_input.h).
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Registers the window classes; later calls do nothing.
void registerWindowClasses();

// A visible, captioned, sizable top-level window; it becomes the active
// window. Its procedure answers caption double clicks itself instead of
// maximising, so that a maximise can only come from vorn.
HWND createCaptionedWindow(const char *title, int left, int top, int width, int height);

// A hidden top-level window that counts the daemon's announcements.
HWND createAnnouncementListener();

int announcementsHeard();

// A 16x16 topmost tool window in the bottom right corner of the screen.
// Only the gestures' last moves go to it, it is never clicked, and vorn's
// window walks pass over tool windows: it takes no part in what the
// scenarios examine.
HWND createMarkerWindow();

// How many of the mouse moves that reached the captioned windows and the
// marker window were made at `point`.
int pointerMovesHeardAt(POINT point);

// How often `window` received `message` since the last
// forgetReceivedMessages().
int countReceived(HWND window, UINT message);

// How many WM_SYSCOMMAND of `command` (SC_MAXIMIZE, SC_RESTORE, ...)
// `window` received since the last forgetReceivedMessages().
int systemCommandsReceived(HWND window, WPARAM command);

// The mouse-button and wheel messages `window` received, in order, as text
// such as "WM_NCMBUTTONDOWN, WM_NCMBUTTONUP"; "none" when there were none.
std::string buttonMessagesReceived(HWND window);

// Everything logged since the last forgetReceivedMessages(), in order, for
// failure messages: "back WM_NCMBUTTONDOWN (180,110); marker WM_MOUSEMOVE ...".
std::string receivedTrace();

void forgetReceivedMessages();

std::string windowTitle(HWND window);

}  // namespace e2e
