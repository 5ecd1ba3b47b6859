// The named window actions that rules run, and what the mouse hook answers
// once a rule with a given action has won the click: one table, whose rows
// are found by name, exactly and case-sensitively, in table order.
#pragma once

#include <windows.h>

#include "config/image_layout.h"

// The row of none, of the empty name and of every name outside the table:
// it runs nothing, lets the click itself go on and swallows a middle press
// decided by its release's list.
enum { NO_ACTION = -1 };

// The verdict of a pass-through: under simulated focus-follows-mouse the
// window's own answer to WM_MOUSEACTIVATE, otherwise MA_ACTIVATE. The hook
// asks the window; no row's operation does.
enum { VERDICT_WINDOW_DECIDES = -1 };

// The row of the action called `name` (any NUL-terminated string, or NULL),
// or NO_ACTION.
int findAction(const char *name);

// The HookVerdict once a rule whose action is row `action` has won the
// click it was configured for (evaluateList): MA_NOACTIVATEANDEAT when the
// action consumes the click, MA_ACTIVATE when the click goes on,
// MA_NOACTIVATE when it reaches the window but no later hook, or
// VERDICT_WINDOW_DECIDES.
int actionClickVerdict(int action);

// The HookVerdict of a middle press that has no list of its own, once its
// release's list has chosen row `action` (precheckDownEvent): the press
// goes on only for the actions that let the click reach the window anyway.
int actionPressVerdict(int action);

// 1 when row `action` does something to windows or input; 0 for the rows
// that do nothing ("NoAction", "Default", the pass-throughs) and for
// NO_ACTION.
int actionDoesSomething(int action);

// Carries out row `action` on `window` (nothing for NO_ACTION and the
// pass-through rows). 1: the click is consumed; 0: it goes on.
int performAction(int action, HWND window, int minimizedPolicy, int isMdiChild);

// Runs the action called `name`: performAction of its row.
int runNamedAction(const char *name, HWND window, int minimizedPolicy, int isMdiChild);

// Runs the action named by the string at `actionName` in this process's
// image. 1: the click is consumed; 0: it goes on to the window (also for
// none, the empty name and names that are no action).
int runAction(ImageOffset actionName, HWND window, int minimizedPolicy, int isMdiChild);

// The table's rows, for tools that list them: their number, and the name
// of row `row` (NULL outside the table).
int actionCount(void);
const char *actionNameAt(int row);
