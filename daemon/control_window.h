// The daemon's hidden control window: class and title `vornMainWnd`
// (`vornMainWnd64` for the 64-bit pair, vorn_names.h). A second start finds
// it and signals it: WM_COMMAND 1124 reloads, WM_CLOSE stops.
#pragma once

#include <windows.h>

#include "vorn_names.h"

// The commands a later start sends: 1124 reloads, as it always has; the
// others are vornd --pause and vornd --resume.
enum {
  VORN_COMMAND_RELOAD = 1124,
  VORN_COMMAND_PAUSE = 1130,
  VORN_COMMAND_RESUME = 1131,
};

// While the daemon is paused its control window carries this property
// (any non-NULL value): vorncheck --status reads it.
#define VORN_PAUSED_PROPERTY "vornPaused"

// How long the settings broadcast waits for each window that answers
// slowly; a hung one is not waited for at all.
enum { ANNOUNCE_TIMEOUT_MS = 1000 };

// Registers the control window class; 0 when registration fails.
ATOM registerControlClass(HINSTANCE instance);

// Creates the (never shown) control window; while it is created the hooks
// are installed. NULL when creation fails.
HWND createControlWindow(HINSTANCE instance);

// The running instance's control window: one whose process runs this very
// program file (a window of that name made by any other program is passed
// over), or NULL.
HWND findControlWindow(void);

// 1 while the hooks are removed by vornd --pause.
int isPaused(HWND window);

// The quiet period after a change of vorn.ini's folder has ended: reloads
// when the file changed since the last load, unless the daemon is paused
// (vornd --resume then loads the file as it is).
void reloadIfFileChanged(HWND window);

LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Tells every top-level window that settings changed (waiting for no hung
// one), and brings a window of class "PrxTronCls" forward when one of the
// user's own programs, not sandboxed, has one (process_trust.h).
void announce(void);
