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
