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
#include "windows/topmost.h"
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

void doClose(HWND window, int, int) { closeWindow(window); }

void doMinimize(HWND window, int, int) { minimizeIfAllowed(rootParent(window)); }

void doToggleTopmost(HWND window, int, int) { toggleTopmost(window); }

// Short names for the HookVerdicts of the rows.
const int PASSES = MA_ACTIVATE;
const int SWALLOWS = MA_NOACTIVATEANDEAT;
const int TO_WINDOW_ONLY = MA_NOACTIVATE;
const int WINDOW_DECIDES = VERDICT_WINDOW_DECIDES;

// The action table, one row per action: the name a rule gives, the
// operation, the verdict of the click the rule won, and the verdict of a
// middle press with no list of its own whose release's list chose the row
// (only the pass-throughs, "Default" and "ActivateAndDefault" let it go
// on; "RaiseAndDefault" lets its click go on, yet its press is swallowed).
// Names are found in this order. A new action is one row here, with its
// operation (a building block of this folder, with its own header).
#define VORN_ACTIONS(ROW)                                       \
  ROW(LowerAndSwitch, lowerAndSwitch, SWALLOWS, SWALLOWS)       \
  ROW(MinimizeOrLower, doMinimizeOrLower, SWALLOWS, SWALLOWS)   \
  ROW(LikeAAltEsc, doLikeAAltEsc, SWALLOWS, SWALLOWS)           \
  ROW(LikeAAltShiftEsc, doLikeAAltShiftEsc, SWALLOWS, SWALLOWS) \
  ROW(MinimizeTopWindow, doMinimizeTopWindow, SWALLOWS, SWALLOWS) \
  ROW(ToggleMaximize, doToggleMaximize, SWALLOWS, SWALLOWS)     \
  ROW(MinimizeAll, doMinimizeAll, SWALLOWS, SWALLOWS)           \
  ROW(RestoreMinimizeAll, doRestoreMinimizeAll, SWALLOWS, SWALLOWS) \
  ROW(ShowDesktop, doShowDesktop, SWALLOWS, SWALLOWS)           \
  ROW(Activate, doActivate, SWALLOWS, SWALLOWS)                 \
  ROW(ActivateAndDefault, doActivate, PASSES, PASSES)           \
  ROW(RaiseAndDefault, doRaise, PASSES, SWALLOWS)               \
  ROW(CancelMOUSEDOWN, doEnsureForeground, SWALLOWS, SWALLOWS)  \
  ROW(NoAction, doNothing, SWALLOWS, SWALLOWS)                  \
  ROW(Default, doNothing, PASSES, PASSES)                       \
  ROW(Through, doNothing, WINDOW_DECIDES, WINDOW_DECIDES)       \
  ROW(ThroughWithNoActivate, doNothing, TO_WINDOW_ONLY, TO_WINDOW_ONLY) \
  ROW(Close, doClose, SWALLOWS, SWALLOWS)                       \
  ROW(Minimize, doMinimize, SWALLOWS, SWALLOWS)                 \
  ROW(ToggleTopmost, doToggleTopmost, SWALLOWS, SWALLOWS)

// The names packed one after the other (system/name_lists.h), and the
// rows' columns, both in table order.
#define ACTION_NAME(name, operation, click, press) #name "\0"
const char ACTION_NAMES[] = VORN_ACTIONS(ACTION_NAME);
#undef ACTION_NAME

#define ACTION_ROW(name, operation, click, press) {operation, click, press},
const ActionRow ACTION_TABLE[] = {VORN_ACTIONS(ACTION_ROW)};
#undef ACTION_ROW

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
