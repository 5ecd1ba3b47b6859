// The named window actions that rules run.
#pragma once

#include <windows.h>

#include "config/image_layout.h"

// Runs the action named by the string at `actionName` in this process's
// image. 1: the click is consumed; 0: it goes on to the window (also for
// none, the empty name and names that are no action).
int runAction(ImageOffset actionName, HWND window, int minimizedPolicy, int isMdiChild);

// Runs the action called `name` (any NUL-terminated string); what
// runAction does once it has resolved the name.
int runNamedAction(const char *name, HWND window, int minimizedPolicy, int isMdiChild);

// Makes sure some window is the foreground window. Always 1.
int ensureForegroundWindow(HWND window);

// The action table, for tools that list or explain it: the number of rows,
// the name of row `row` (NULL outside the table), and whether the action
// called `name` consumes the click (0 also for names that are no action).
int actionCount(void);
const char *actionNameAt(int row);
int actionConsumesClick(const char *name);

// ---- building blocks of the actions ------------------------------------------
// `minimizedPolicy` says what to do when the window about to be activated is
// minimised (POLICY_NONE, POLICY_SKIP, POLICY_RESTORE). Given none, each of
// them changes nothing.

// Makes a top-level window the foreground window and raises it.
void activateTopLevel(HWND window, UINT direction, int minimizedPolicy);

// Activates an MDI child window inside its frame and raises it among its
// siblings.
void activateMdiChild(HWND window, UINT direction, int minimizedPolicy);

// Activates the window itself: an MDI child through its MDI client window,
// a top-level window by raising it and making it the foreground window.
void activateWindow(HWND window, int isMdiChild);

// Sends the window to the back and activates the highest eligible sibling.
void lowerAndSwitch(HWND window, int minimizedPolicy, int isMdiChild);

// As lowerAndSwitch for a top-level window, but never activates the window
// itself when its lowering has not taken effect yet.
void lowerAndSwitchToOther(HWND window, int minimizedPolicy);

// Asks the window to minimise itself when its root window is a visible,
// enabled, non-popup window and the window is no tool window.
void minimizeIfAllowed(HWND window);

// Asks a maximised window to restore itself, and any other non-popup window
// to maximise itself.
void toggleMaximize(HWND window);

// The procedures of the actions that cycle through the z-order.
void likeAAltEsc(HWND window, int minimizedPolicy);
void likeAAltShiftEsc(HWND window, int minimizedPolicy);
void minimizeTopWindow(HWND window, int minimizedPolicy);

// The shell's Windows-key shortcuts, injected as key strokes.
void minimizeAllWindows(void);
void undoMinimizeAllWindows(void);
void showDesktop(void);
