// From the winning entry of a rule list to the HookVerdict of the message.
// evaluateList carries the winner's action out; precheckDownEvent only
// decides whether a middle-button press may pass, from the list of the
// release that will carry the action out.
#include "hooks/rule_evaluation.h"

#include <windows.h>

#include "config/loader_state.h"
#include "hooks/active_tracking.h"
#include "hooks/click_facts.h"
#include "hooks/rule_walk.h"
#include "windows/actions.h"

namespace {

int isActionNamed(const char *name, const char *wanted) {
  return name != NULL && lstrcmpA(name, wanted) == 0;
}

// As the system would ask the window itself on a click: wParam names the
// root parent, lParam carries the hit-test code (low word) and the mouse
// message (high word). The answer is the verdict, whatever it is.
LRESULT askWindowHowToActivate(const ClickFacts *facts, UINT message) {
  LPARAM hitAndMessage = MAKELPARAM(LOWORD(facts->hitTest), LOWORD(message));
  return SendMessageA(facts->window[CLICK_INVOKED], WM_MOUSEACTIVATE,
                      (WPARAM)facts->window[CLICK_PARENT], hitAndMessage);
}

LRESULT passThroughVerdict(const ClickFacts *facts, UINT message) {
  if (xmouseMode == XMOUSE_SIMULATED) return askWindowHowToActivate(facts, message);
  return MA_ACTIVATE;
}

LRESULT runWinningAction(ImageOffset list, int winner, ClickFacts *facts) {
  int mdi = isMdiClick(facts);
  HWND window = mdi ? facts->activation : facts->window[CLICK_ACTIVE];
  int consumed =
      runAction(entryActionOffset(list, winner), window, entryMinimizedPolicy(list, winner), mdi);
  return consumed ? MA_NOACTIVATEANDEAT : MA_ACTIVATE;
}

LRESULT evaluationVerdict(ImageOffset list, int winner, UINT message, ClickFacts *facts) {
  const char *action = entryActionName(list, winner);
  if (isActionNamed(action, "ThroughWithNoActivate")) return MA_NOACTIVATE;
  if (isActionNamed(action, "Through")) return passThroughVerdict(facts, message);
  return runWinningAction(list, winner, facts);
}

// A press that the release's action will answer is swallowed, unless that
// action lets the click reach the window anyway.
LRESULT precheckVerdict(ImageOffset list, int winner, UINT message, ClickFacts *facts) {
  const char *action = entryActionName(list, winner);
  if (!precheckLetsPressThrough(action)) return MA_NOACTIVATEANDEAT;
  if (isActionNamed(action, "ThroughWithNoActivate")) {
    if (xmouseMode == XMOUSE_SYSTEM_TRACKING) switchTrackingOffIfOn();
    return MA_NOACTIVATE;
  }
  if (isActionNamed(action, "Through")) return passThroughVerdict(facts, message);
  return MA_ACTIVATE;
}

int hitTestOf(const MOUSEHOOKSTRUCT *mouseHookStruct) { return (int)mouseHookStruct->wHitTestCode; }

}  // namespace

int precheckLetsPressThrough(const char *action) {
  return isActionNamed(action, "ThroughWithNoActivate") || isActionNamed(action, "Through") ||
         isActionNamed(action, "Default") || isActionNamed(action, "ActivateAndDefault");
}

LRESULT evaluateList(ImageOffset listOffset, UINT message, const MOUSEHOOKSTRUCT *mouseHookStruct) {
  if (listOffset == NO_OFFSET) return MA_ACTIVATE;
  ClickFacts facts;
  describeClickOn(&facts, mouseHookStruct->hwnd, hitTestOf(mouseHookStruct));
  int winner = findWinningEntry(listOffset, &facts, NULL);
  return evaluationVerdict(listOffset, winner, message, &facts);
}

LRESULT precheckDownEvent(ImageOffset listOffset, UINT message,
                          const MOUSEHOOKSTRUCT *mouseHookStruct) {
  if (listOffset == NO_OFFSET) return MA_ACTIVATE;
  ClickFacts facts;
  describeClickOn(&facts, mouseHookStruct->hwnd, hitTestOf(mouseHookStruct));
  int winner = findWinningEntry(listOffset, &facts, NULL);
  return precheckVerdict(listOffset, winner, message, &facts);
}
