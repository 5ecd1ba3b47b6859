// The action table: each name a rule can give, what it does, and whether
// the click is consumed afterwards. Names are compared exactly, in table
// order.
#include "windows/actions.h"

#include <windows.h>

#include "config/image_access.h"
#include "windows/activation.h"
#include "windows/key_strokes.h"
#include "windows/lowering.h"
#include "windows/navigation.h"
#include "windows/system_commands.h"
#include "windows/window_cycling.h"

namespace {

typedef void (*ActionOperation)(HWND window, int minimizedPolicy, int isMdiChild);

struct ActionRow {
  const char *name;
  ActionOperation operation;
  int result;
};

void doLowerAndSwitch(HWND window, int minimizedPolicy, int isMdiChild) {
  lowerAndSwitch(window, minimizedPolicy, isMdiChild);
}

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

const ActionRow ACTION_TABLE[] = {
    {"LowerAndSwitch", doLowerAndSwitch, 1},
    {"MinimizeOrLower", doMinimizeOrLower, 1},
    {"LikeAAltEsc", doLikeAAltEsc, 1},
    {"LikeAAltShiftEsc", doLikeAAltShiftEsc, 1},
    {"MinimizeTopWindow", doMinimizeTopWindow, 1},
    {"ToggleMaximize", doToggleMaximize, 1},
    {"MinimizeAll", doMinimizeAll, 1},
    {"RestoreMinimizeAll", doRestoreMinimizeAll, 1},
    {"ShowDesktop", doShowDesktop, 1},
    {"Activate", doActivate, 1},
    {"ActivateAndDefault", doActivate, 0},
    {"RaiseAndDefault", doRaise, 0},
    {"CancelMOUSEDOWN", doEnsureForeground, 1},
    {"NoAction", doNothing, 1},
    {"Default", doNothing, 0},
};

const int ACTION_COUNT = (int)(sizeof ACTION_TABLE / sizeof ACTION_TABLE[0]);

// The first row called `name`, or NULL (also for NULL and the empty name,
// which no row has).
const ActionRow *findAction(const char *name) {
  if (name == NULL || name[0] == '\0') return NULL;
  for (const ActionRow &row : ACTION_TABLE) {
    if (lstrcmpA(name, row.name) == 0) return &row;
  }
  return NULL;
}

}  // namespace

int runNamedAction(const char *name, HWND window, int minimizedPolicy, int isMdiChild) {
  const ActionRow *row = findAction(name);
  if (row == NULL) return 0;
  row->operation(window, minimizedPolicy, isMdiChild);
  return row->result;
}

int runAction(ImageOffset actionName, HWND window, int minimizedPolicy, int isMdiChild) {
  return runNamedAction(imageString(actionName), window, minimizedPolicy, isMdiChild);
}

int actionCount(void) { return ACTION_COUNT; }

const char *actionNameAt(int row) {
  return row >= 0 && row < ACTION_COUNT ? ACTION_TABLE[row].name : NULL;
}

int actionConsumesClick(const char *name) {
  const ActionRow *row = findAction(name);
  return row != NULL ? row->result : 0;
}
