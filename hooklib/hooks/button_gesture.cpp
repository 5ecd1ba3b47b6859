#include "hooks/button_gesture.h"

#include <windows.h>

#include "config/name_tables.h"
#include "hooks/hook_state.h"
#include "hooks/rule_evaluation.h"

namespace {

// The events of a button's gesture: the release that ends it, by button.
const unsigned char RELEASE_EVENTS[] = {
    0,
    HEADER_EVENT_SLOT_COUNT + CLAIMED_BIT_RBUTTONUP,
    HEADER_EVENT_SLOT_COUNT + CLAIMED_BIT_XBUTTON1UP,
    HEADER_EVENT_SLOT_COUNT + CLAIMED_BIT_XBUTTON2UP,
};

int isExtraButtonMessage(UINT message) {
  UINT distance = message - (message >= WM_MOUSEFIRST ? WM_XBUTTONDOWN : WM_NCXBUTTONDOWN);
  return distance <= WM_XBUTTONDBLCLK - WM_XBUTTONDOWN;
}

// The extra buttons share their messages: the high word of the hook's
// mouseData names the one that changed (MOUSEHOOKSTRUCTEX). Only exactly
// XBUTTON2 is the second; anything else counts as the first.
int buttonOf(const MouseEvent *event) {
  if (!isExtraButtonMessage(event->message)) return GESTURE_RIGHT;
  DWORD data = ((const MOUSEHOOKSTRUCTEX *)event->hook)->mouseData;
  return HIWORD(data) == XBUTTON2 ? GESTURE_XBUTTON2 : GESTURE_XBUTTON1;
}

// The event's list for this message's area: each client-area event is
// followed by its non-client form.
ImageOffset listOf(const MouseEvent *event, int clientEvent) {
  return eventSlotList(clientEvent + (event->message < WM_MOUSEFIRST));
}

// A verdict that keeps the message from the window.
int isSwallowed(LRESULT verdict) { return verdict != MA_ACTIVATE && verdict != MA_NOACTIVATE; }

}  // namespace

void spoilButtonGesture(void) {
  if (buttonGesture != GESTURE_IDLE) buttonGesture |= GESTURE_SPOILED;
}

LRESULT handleButtonPress(const MouseEvent *event, int pressEvent) {
  int button = buttonOf(event);
  if (button == GESTURE_XBUTTON2) pressEvent += XBUTTON2_BIT_DISTANCE;
  ImageOffset list = listOf(event, pressEvent);
  LRESULT verdict;
  if (list != NO_OFFSET) {
    verdict = evaluateListSince(event->generation, list, event->message, event->hook);
  } else {
    verdict = precheckDownEventSince(event->generation, listOf(event, RELEASE_EVENTS[button]),
                                     event->message, event->hook);
  }
  buttonGesture = button | (isSwallowed(verdict) ? GESTURE_PRESS_SWALLOWED : 0);
  return verdict;
}

// A release of another button than the pending gesture's is something
// between that press and its release. The release's own area picks the
// list, whichever area the press was in.
LRESULT handleButtonRelease(const MouseEvent *event, int releaseEvent) {
  int button = buttonOf(event);
  int state = buttonGesture;
  if ((state & GESTURE_BUTTON) != button) {
    spoilButtonGesture();
    return MA_ACTIVATE;
  }
  buttonGesture = GESTURE_IDLE;
  if (state & GESTURE_SPOILED) return MA_ACTIVATE;
  if (button == GESTURE_XBUTTON2) releaseEvent += XBUTTON2_BIT_DISTANCE;
  LRESULT verdict = evaluateListSince(event->generation, listOf(event, releaseEvent),
                                      event->message, event->hook);
  if ((state & GESTURE_PRESS_SWALLOWED) && !isSwallowed(verdict)) return MA_NOACTIVATEANDEAT;
  return verdict;
}

LRESULT handleListEvent(const MouseEvent *event, int listEvent) {
  return evaluateListSince(event->generation, listOf(event, listEvent), event->message,
                           event->hook);
}
