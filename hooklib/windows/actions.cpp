// The action table: each name a rule can give, what it does, and what the
// hook then answers for the click and for a middle press decided by the
// click's list. Names are compared exactly, in table order.
#include "windows/actions.h"

#include <windows.h>

#include "config/image_access.h"
#include "system/name_lists.h"
#include "windows/activation.h"
#include "windows/key_strokes.h"
#include "windows/lowering.h"
#include "windows/navigation.h"
#include "windows/system_commands.h"
#include "windows/window_cycling.h"

namespace {

typedef void (*ActionOperation)(HWND window, int minimizedPolicy, int isMdiChild);

struct ActionRow {
  ActionOperation operation;
  signed char clickVerdict;
  signed char pressVerdict;
};

void doMinimizeOrLower(HWND window, int minimizedPolicy, int isMdiChild) {
  lowerAndSwitch(window, minimizedPolicy, isMdiChild);
  minimizeIfAllowed(window);
}

void doLikeAAltEsc(HWND window, int minimizedPolicy, int) { likeAAltEsc(window, minimizedPolicy); }

void doLikeAAltShiftEsc(HWND window, int minimizedPolicy, int) {
  likeAAltShiftEsc(window, minimizedPolicy);
}

void doMinimizeTopWindow(HWND window, int minimizedPolicy, int) {
  minimizeTopWindow(window, minimizedPolicy);
}

void doToggleMaximize(HWND window, int, int) { toggleMaximize(window); }

void doMinimizeAll(HWND, int, int) { minimizeAllWindows(); }

void doRestoreMinimizeAll(HWND, int, int) { undoMinimizeAllWindows(); }

void doShowDesktop(HWND, int, int) { showDesktop(); }

void doActivate(HWND window, int, int isMdiChild) { activateWindow(window, isMdiChild); }

void doRaise(HWND window, int, int) { raiseWithoutActivating(window); }

void doEnsureForeground(HWND window, int, int) { ensureForegroundWindow(window); }

void doNothing(HWND, int, int) {}

// Short names for the HookVerdicts of the rows.
const int PASSES = MA_ACTIVATE;
const int SWALLOWS = MA_NOACTIVATEANDEAT;
const int TO_WINDOW_ONLY = MA_NOACTIVATE;
const int WINDOW_DECIDES = VERDICT_WINDOW_DECIDES;

// The rows' names, in the order of ACTION_TABLE.
const char ACTION_NAMES[] =
    "LowerAndSwitch\0MinimizeOrLower\0LikeAAltEsc\0LikeAAltShiftEsc\0MinimizeTopWindow\0"
    "ToggleMaximize\0MinimizeAll\0RestoreMinimizeAll\0ShowDesktop\0Activate\0"
    "ActivateAndDefault\0RaiseAndDefault\0CancelMOUSEDOWN\0NoAction\0Default\0Through\0"
    "ThroughWithNoActivate\0";

// The press column is what a middle press with no list of its own gets
// when its release's list chooses the row: only the pass-throughs,
// "Default" and "ActivateAndDefault" let it go on. "RaiseAndDefault" lets
// its click go on, yet its press is swallowed.
const ActionRow ACTION_TABLE[] = {
    {lowerAndSwitch, SWALLOWS, SWALLOWS},        // LowerAndSwitch: its own signature
    {doMinimizeOrLower, SWALLOWS, SWALLOWS},     // MinimizeOrLower
    {doLikeAAltEsc, SWALLOWS, SWALLOWS},         // LikeAAltEsc
    {doLikeAAltShiftEsc, SWALLOWS, SWALLOWS},    // LikeAAltShiftEsc
    {doMinimizeTopWindow, SWALLOWS, SWALLOWS},   // MinimizeTopWindow
    {doToggleMaximize, SWALLOWS, SWALLOWS},      // ToggleMaximize
    {doMinimizeAll, SWALLOWS, SWALLOWS},         // MinimizeAll
    {doRestoreMinimizeAll, SWALLOWS, SWALLOWS},  // RestoreMinimizeAll
    {doShowDesktop, SWALLOWS, SWALLOWS},         // ShowDesktop
    {doActivate, SWALLOWS, SWALLOWS},            // Activate
    {doActivate, PASSES, PASSES},                // ActivateAndDefault
    {doRaise, PASSES, SWALLOWS},                 // RaiseAndDefault
    {doEnsureForeground, SWALLOWS, SWALLOWS},    // CancelMOUSEDOWN
    {doNothing, SWALLOWS, SWALLOWS},             // NoAction
    {doNothing, PASSES, PASSES},                 // Default
    // The pass-throughs do nothing to windows: the hook's verdict is all.
    {doNothing, WINDOW_DECIDES, WINDOW_DECIDES},  // Through
    {doNothing, TO_WINDOW_ONLY, TO_WINDOW_ONLY},  // ThroughWithNoActivate
};

const int ACTION_COUNT = (int)(sizeof ACTION_TABLE / sizeof ACTION_TABLE[0]);

int isRow(int action) { return action >= 0 && action < ACTION_COUNT; }

}  // namespace

// NULL and the empty name have no row.
int findAction(const char *name) {
  int row = nameListIndex(ACTION_NAMES, name);
  return row >= 0 ? row : NO_ACTION;
}

int actionClickVerdict(int action) {
  return isRow(action) ? ACTION_TABLE[action].clickVerdict : PASSES;
}

int actionPressVerdict(int action) {
  return isRow(action) ? ACTION_TABLE[action].pressVerdict : SWALLOWS;
}

int actionDoesSomething(int action) {
  return isRow(action) && ACTION_TABLE[action].operation != doNothing;
}

int performAction(int action, HWND window, int minimizedPolicy, int isMdiChild) {
  if (!isRow(action)) return 0;
  ACTION_TABLE[action].operation(window, minimizedPolicy, isMdiChild);
  return ACTION_TABLE[action].clickVerdict == SWALLOWS;
}

int runNamedAction(const char *name, HWND window, int minimizedPolicy, int isMdiChild) {
  return performAction(findAction(name), window, minimizedPolicy, isMdiChild);
}

int runAction(ImageOffset actionName, HWND window, int minimizedPolicy, int isMdiChild) {
  char name[IMAGE_STRING_SPAN];
  copyImageString(actionName, name);
  return runNamedAction(name, window, minimizedPolicy, isMdiChild);
}

int actionCount(void) { return ACTION_COUNT; }

const char *actionNameAt(int row) { return isRow(row) ? nameListAt(ACTION_NAMES, row) : NULL; }
