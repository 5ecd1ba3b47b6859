// The small, fixed desktop the hook procedures are fuzzed on: a shell
// window and a topmost taskbar, a program window with an edit control and
// an owned dialog, an MDI frame with two documents, a minimised window and
// a window that is already gone. Every run rebuilds it from nothing, so
// that what one image's actions did to the windows never reaches the next.
#pragma once

#include <windows.h>

// A place a click can land: the window under the pointer, the hit-test code
// the system gave it and the pointer position.
struct FuzzClick {
  HWND window;
  int hitTest;
  POINT point;
};

enum { FUZZ_MAX_CLICKS = 16 };

// Forgets every window, hook, queue and setting of the simulated desktop
// and builds the fixed one; fills `clicks` and returns how many there are.
int buildFuzzDesktop(FuzzClick clicks[FUZZ_MAX_CLICKS]);

// Dispatches every message posted so far, so that commands the actions
// posted (minimise, maximise, ...) take effect before the next click.
void pumpFuzzDesktop(void);
