// vorncheck --watch: a line for every mouse button event on the desktop
// while it runs, with what vorn does to it and why. It watches from its
// own process through a low-level mouse hook, which sees each press and
// release before any window does, and only records it: the hook's thread
// does nothing else, so no click waits for vorncheck (watch.cpp). The main
// thread then asks the window under the pointer, as the hooks would, and
// walks the rule lists with the hooks' own walk (watch_report.cpp).
#pragma once

#include <windows.h>

#include <stdio.h>

#include <string>

// The longest watch --watch accepts, in seconds; 0 watches until stopped.
const int LONGEST_WATCH_SECONDS = 86400;

// Watches for `seconds` (0: until Ctrl+C or the console closes). Returns
// 0, or 2 when the system does not let vorncheck watch.
int watchClicks(int seconds, FILE *out);

// A button event as the low-level hook saw it, numbered in the order seen.
struct SeenButtonEvent {
  LONG number;
  UINT message;  // WM_LBUTTONDOWN ... WM_XBUTTONUP
  POINT point;
  DWORD mouseData;  // the X button in its high word
  DWORD time;
  // The foreground window when it happened: the window the hooks then take
  // for the one in front (the report comes later, when it may have changed).
  HWND foreground;
  // The modifier keys held when it happened (KEY_* bits).
  int keys;
};

// A press, for telling double clicks.
struct SeenPress {
  UINT button;  // BUTTON_LEFT ... BUTTON_X2
  POINT point;
  DWORD time;
  HWND window;
};

enum { BUTTON_LEFT, BUTTON_RIGHT, BUTTON_MIDDLE, BUTTON_X1, BUTTON_X2 };
enum { BUTTON_DOWN, BUTTON_UP, BUTTON_DOUBLE };

// Whether `press` is the second press of a double click after `previous`,
// as the system decides it: the same button on the same window, within the
// double-click time and inside the double-click rectangle centred on the
// first press; on the client area only for a window whose class has
// CS_DBLCLKS, off it for any window.
bool isDoubleClick(const SeenPress &previous, const SeenPress &press, DWORD doubleClickTime,
                   LONG rectangleWidth, LONG rectangleHeight, bool nonClient,
                   bool classHasDoubleClicks);

// The event's name as vorn.ini writes it: "NCMBUTTONUP", "XBUTTON1DOWN".
std::string eventName(UINT button, int kind, bool nonClient);

// The event whose list decides `event`: itself, but for an extra button's
// double click, which has no event of its own and which the hooks decide as
// the press it is.
std::string listEventOf(const std::string &event);

// Tells each event in one line, in the order seen.
class WatchReporter {
 public:
  explicit WatchReporter(FILE *destination) : out(destination) {}
  void report(const SeenButtonEvent &event);

 private:
  int kindOf(const SeenButtonEvent &event, HWND window, bool nonClient);

  FILE *out;
  SeenPress lastPress = {};
  bool pressSeen = false;
  LONG nextNumber = 0;
};
