// The left button's handlers. What each message does to the
// shared gesture state is a column of the dispatcher's table
// (mouse_hook.cpp); here is what only these handlers do. The click counter
// is per process, so that a double click counts against the press and
// release this process saw.
#include "hooks/button_messages.h"

#include <windows.h>

#include "hooks/hook_state.h"
#include "hooks/left_release.h"
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
  clickCount = 1;
  return evaluateEvent(event, HEADER_SLOT_LBUTTONDOWN, HEADER_SLOT_NCLBUTTONDOWN);
}

LRESULT handleLeftRelease(const MouseEvent *event) {
  clickCount = 1;
  if (!takeLeftReleaseArming()) return MA_ACTIVATE;
  return evaluateEvent(event, HEADER_SLOT_LBUTTONUP, HEADER_SLOT_NCLBUTTONUP);
}

LRESULT handleLeftDoubleClick(const MouseEvent *event) {
  clickCount += 1;
  if (clickCount > MAX_EVALUATED_CLICK_COUNT) return MA_ACTIVATE;
  return evaluateEvent(event, HEADER_SLOT_LBUTTONDBLCLK, HEADER_SLOT_NCLBUTTONDBLCLK);
}
