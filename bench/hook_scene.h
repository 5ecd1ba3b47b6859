// The desktop and the configuration the hook cases run against: a window
// with a pane in it, below another window, and a vorn.ini with a list of
// one rule, a maximal list and a focus-follows-mouse mask. Written against
// the Win32 API: the same scene is built from winsim's windows on the host
// and from real windows under Wine.
#pragma once

#include <windows.h>

struct HookScene {
  HWND main;   // class vornBench, not the top of the z-order
  HWND pane;   // class vornBenchPane, a child of main; masked
  HWND other;  // class vornBench, on top of main
};

extern HookScene hookScene;

// Creates the windows, then writes and compiles the configuration. 1 when
// everything is in place; 0 after printing what failed.
int setUpHookScene(void);

// Releases the image, deletes the file, destroys the windows and gives the
// system's active window tracking back the value it had before the set-up.
void tearDownHookScene(void);
