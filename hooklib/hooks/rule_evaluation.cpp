// From the winning entry of a rule list to the HookVerdict of the message.
// evaluateList carries the winner's action out; precheckDownEvent only
// decides whether a middle-button press may pass, from the list of the
// release that will carry the action out. What each action answers is a
// column of the action table.
#include "hooks/rule_evaluation.h"

#include <windows.h>

#include "config/image_publish.h"
#include "config/loader_state.h"
#include "hooks/active_tracking.h"
#include "hooks/click_facts.h"
#include "hooks/rule_walk.h"
#include "windows/actions.h"

namespace {

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

// Inside an MDI child the action is about the child, not its frame.
void performWinningAction(int action, int minimizedPolicy, const ClickFacts *facts) {
  int mdi = isMdiClick(facts);
  HWND window = mdi ? facts->activation : facts->window[CLICK_ACTIVE];
  performAction(action, window, minimizedPolicy, mdi);
}

// Everything is read from the image before the generation is checked;
// nothing is done before.
LRESULT evaluationVerdict(uint32_t generation, ImageOffset list, int winner, UINT message,
                          ClickFacts *facts) {
  int action = entryAction(list, winner);
  int minimizedPolicy = entryMinimizedPolicy(list, winner);
  if (!imageUnchangedSince(generation)) return MA_ACTIVATE;
  int verdict = actionClickVerdict(action);
  if (verdict == VERDICT_WINDOW_DECIDES) return passThroughVerdict(facts, message);
  performWinningAction(action, minimizedPolicy, facts);
  return verdict;
}

// A press let through to its window without activation also switches the
// system's active window tracking off under XMouseMode 2; the masking check
// of a later move switches it on again.
LRESULT precheckVerdict(uint32_t generation, ImageOffset list, int winner, UINT message,
                        ClickFacts *facts) {
  int verdict = actionPressVerdict(entryAction(list, winner));
  if (!imageUnchangedSince(generation)) return MA_ACTIVATE;
  if (verdict == VERDICT_WINDOW_DECIDES) return passThroughVerdict(facts, message);
  if (verdict == MA_NOACTIVATE && xmouseMode == XMOUSE_SYSTEM_TRACKING) switchTrackingOffIfOn();
  return verdict;
}

int hitTestOf(const MOUSEHOOKSTRUCT *mouseHookStruct) { return (int)mouseHookStruct->wHitTestCode; }

}  // namespace

LRESULT evaluateListSince(uint32_t generation, ImageOffset listOffset, UINT message,
                          const MOUSEHOOKSTRUCT *mouseHookStruct) {
  if (listOffset == NO_OFFSET) return MA_ACTIVATE;
  ClickFacts facts;
  describeClickOn(&facts, mouseHookStruct->hwnd, hitTestOf(mouseHookStruct));
  int winner = findWinningEntry(listOffset, &facts, NULL);
  return evaluationVerdict(generation, listOffset, winner, message, &facts);
}

LRESULT precheckDownEventSince(uint32_t generation, ImageOffset listOffset, UINT message,
                               const MOUSEHOOKSTRUCT *mouseHookStruct) {
  if (listOffset == NO_OFFSET) return MA_ACTIVATE;
  ClickFacts facts;
  describeClickOn(&facts, mouseHookStruct->hwnd, hitTestOf(mouseHookStruct));
  int winner = findWinningEntry(listOffset, &facts, NULL);
  return precheckVerdict(generation, listOffset, winner, message, &facts);
}

LRESULT evaluateList(ImageOffset listOffset, UINT message, const MOUSEHOOKSTRUCT *mouseHookStruct) {
  return evaluateListSince(imageGeneration(), listOffset, message, mouseHookStruct);
}

LRESULT precheckDownEvent(ImageOffset listOffset, UINT message,
                          const MOUSEHOOKSTRUCT *mouseHookStruct) {
  return precheckDownEventSince(imageGeneration(), listOffset, message, mouseHookStruct);
}
