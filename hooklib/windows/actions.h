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

// The action table, for tools that list or explain it: the number of rows,
// the name of row `row` (NULL outside the table), and whether the action
// called `name` consumes the click (0 also for names that are no action).
int actionCount(void);
const char *actionNameAt(int row);
int actionConsumesClick(const char *name);
