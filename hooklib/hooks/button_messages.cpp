// The left and right buttons, the wheel and every message without a row of
// its own. Any of them spoils a pending middle-button gesture. Left-release
// arming: only a release that follows a left press undisturbed evaluates its
// list. The click counter is per process, so that a double click counts
// against the press and release this process saw.
#include "hooks/button_messages.h"

#include <windows.h>

#include "hooks/gesture.h"
#include "hooks/hook_state.h"
#include "hooks/rule_evaluation.h"

namespace {

// The double-click list answers a first double click; a longer run of
// double-click messages without a press or release between them does not
// evaluate it again.
const int MAX_EVALUATED_CLICK_COUNT = 2;

LRESULT evaluateEvent(const MouseEvent *event, int clientSlot, int nonClientSlot) {
  return evaluateListSince(event->generation, eventList(event->message, clientSlot, nonClientSlot),
                           event->message, event->hook);
}

}  // namespace

LRESULT handleLeftPress(const MouseEvent *event) {
  spoilMiddleGesture();
  lbuttonUpArmed = 1;
  activationHold = 0;
  clickCount = 1;
  return evaluateEvent(event, HEADER_SLOT_LBUTTONDOWN, HEADER_SLOT_NCLBUTTONDOWN);
}

LRESULT handleLeftRelease(const MouseEvent *event) {
  spoilMiddleGesture();
  activationHold = 0;
  clickCount = 1;
  if (!lbuttonUpArmed) return MA_ACTIVATE;
  lbuttonUpArmed = 0;
  return evaluateEvent(event, HEADER_SLOT_LBUTTONUP, HEADER_SLOT_NCLBUTTONUP);
}

LRESULT handleLeftDoubleClick(const MouseEvent *event) {
  spoilMiddleGesture();
  lbuttonUpArmed = 0;
  activationHold = 0;
  clickCount += 1;
  if (clickCount > MAX_EVALUATED_CLICK_COUNT) return MA_ACTIVATE;
  return evaluateEvent(event, HEADER_SLOT_LBUTTONDBLCLK, HEADER_SLOT_NCLBUTTONDBLCLK);
}

LRESULT handleRightPress(const MouseEvent *event) {
  spoilMiddleGesture();
  lbuttonUpArmed = 0;
  activationHold = 0;
  return evaluateEvent(event, HEADER_SLOT_RBUTTONDOWN, HEADER_SLOT_NCRBUTTONDOWN);
}

LRESULT handleOtherMessage(const MouseEvent *event) {
  (void)event;
  spoilMiddleGesture();
  lbuttonUpArmed = 0;
  return MA_ACTIVATE;
}
