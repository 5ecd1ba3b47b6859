#include "click_outcome.h"

#include <windows.h>

#include "config/loader_state.h"
#include "diagnostics.h"
#include "windows/actions.h"

namespace {

// A pass-through asks the window only under simulated focus-follows-mouse.
int settledVerdict(int verdict) {
  if (verdict == VERDICT_WINDOW_DECIDES && xmouseMode != XMOUSE_SIMULATED) return MA_ACTIVATE;
  return verdict;
}

// What runs: "\"LowerAndSwitch\" runs", "nothing runs", ...
std::string whatRuns(const char *action, int row) {
  if (actionDoesSomething(row)) return format("\"%s\" runs", action);
  if (row != NO_ACTION) return "nothing runs";
  if (action[0] == '\0') return "the action is empty: nothing runs";
  return format("\"%s\" is no action: nothing runs", action);
}

const char *whatBecomesOfTheClick(int verdict) {
  switch (verdict) {
    case MA_ACTIVATE:
      return "the click goes on to the window";
    case MA_NOACTIVATE:
      return "the window gets the click, later hooks do not";
    case VERDICT_WINDOW_DECIDES:
      return "the window's own answer to WM_MOUSEACTIVATE decides whether it gets the click";
    default:
      return "the click is swallowed: the window does not get it";
  }
}

const char *whatBecomesOfThePress(int verdict) {
  switch (verdict) {
    case MA_ACTIVATE:
      return "the press goes on to the window";
    case MA_NOACTIVATE:
      if (xmouseMode == XMOUSE_SYSTEM_TRACKING) {
        return "the press goes on to the window, not to later hooks, and focus-follows-mouse is "
               "switched off";
      }
      return "the press goes on to the window, not to later hooks";
    case VERDICT_WINDOW_DECIDES:
      return "the window's own answer to WM_MOUSEACTIVATE decides whether it gets the press";
    default:
      return "the press is swallowed: the window does not get it";
  }
}

}  // namespace

Outcome clickOutcome(const char *action) {
  int row = findAction(action);
  int verdict = settledVerdict(actionClickVerdict(row));
  return Outcome{verdict, whatRuns(action, row) + "; " + whatBecomesOfTheClick(verdict)};
}

Outcome pressOutcome(const char *action) {
  int row = findAction(action);
  int verdict = settledVerdict(actionPressVerdict(row));
  std::string words = whatBecomesOfThePress(verdict);
  if (actionDoesSomething(row)) {
    words += format("; nothing runs on the press, \"%s\" runs on the release", action);
  } else if (row == NO_ACTION && action[0] != '\0') {
    words += format("; \"%s\" is no action: nothing runs on the press nor on the release", action);
  } else {
    words += "; nothing runs on the press";
  }
  return Outcome{verdict, words};
}

std::string verdictName(int verdict) {
  switch (verdict) {
    case MA_ACTIVATE:
      return "1 (MA_ACTIVATE)";
    case MA_ACTIVATEANDEAT:
      return "2 (MA_ACTIVATEANDEAT)";
    case MA_NOACTIVATE:
      return "3 (MA_NOACTIVATE)";
    case MA_NOACTIVATEANDEAT:
      return "4 (MA_NOACTIVATEANDEAT)";
    default:
      return "the window's answer to WM_MOUSEACTIVATE";
  }
}
