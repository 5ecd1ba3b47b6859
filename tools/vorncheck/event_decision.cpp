#include "event_decision.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/name_tables.h"

namespace {

// In the event table's order: the events with a header slot, then the
// claimed ones (the extra buttons' pairs share their messages).
#define EVENT_MESSAGE(name, message, offset) message,
#define CLAIMED_MESSAGE(name, message) message,
const UINT EVENT_MESSAGES[] = {VORN_EVENT_SLOTS(EVENT_MESSAGE)
                                   VORN_CLAIMED_EVENTS(CLAIMED_MESSAGE)};
#undef EVENT_MESSAGE
#undef CLAIMED_MESSAGE
#define SAME_MESSAGE(name, message, offset) \
  static_assert(message == WM_##name, "the event is the message of its name");
VORN_EVENT_SLOTS(SAME_MESSAGE)
#undef SAME_MESSAGE
static_assert(sizeof EVENT_MESSAGES / sizeof EVENT_MESSAGES[0] == LIST_EVENT_COUNT,
              "one message per event");

// The gestures' presses and their releases, client-area and non-client
// alike: the release's list decides a press that has none of its own. A
// right double click is the second press of its gesture.
const struct {
  const char *press;
  const char *release;
} GESTURE_EVENTS[] = {
    {"MBUTTONDOWN", "MBUTTONUP"},   {"NCMBUTTONDOWN", "NCMBUTTONUP"},
    {"RBUTTONDOWN", "RBUTTONUP"},   {"NCRBUTTONDOWN", "NCRBUTTONUP"},
    {"XBUTTON1DOWN", "XBUTTON1UP"}, {"NCXBUTTON1DOWN", "NCXBUTTON1UP"},
    {"XBUTTON2DOWN", "XBUTTON2UP"}, {"NCXBUTTON2DOWN", "NCXBUTTON2UP"},
    {"RBUTTONDBLCLK", "RBUTTONUP"}, {"NCRBUTTONDBLCLK", "NCRBUTTONUP"},
};

}  // namespace

UINT eventMessage(int eventSlot) { return EVENT_MESSAGES[eventSlot]; }

int isNonClientEvent(int eventSlot) { return eventMessage(eventSlot) < WM_MOUSEFIRST; }

// The first press listed for a release is its button's own press.
int pressOfRelease(int eventSlot) {
  for (const auto &gesture : GESTURE_EVENTS) {
    if (eventSlotIndex(gesture.release) == eventSlot) return eventSlotIndex(gesture.press);
  }
  return -1;
}

int releaseOfPress(int eventSlot) {
  for (const auto &gesture : GESTURE_EVENTS) {
    if (eventSlotIndex(gesture.press) == eventSlot) return eventSlotIndex(gesture.release);
  }
  return -1;
}

int isButtonGestureEvent(int eventSlot) {
  UINT message = eventMessage(eventSlot);
  return message != WM_MBUTTONDOWN && message != WM_NCMBUTTONDOWN && message != WM_MBUTTONUP &&
         message != WM_NCMBUTTONUP &&
         (releaseOfPress(eventSlot) >= 0 || pressOfRelease(eventSlot) >= 0);
}

void decideEvent(int eventSlot, ClickFacts *facts, EventDecision *decision) {
  *decision = EventDecision{};
  decision->eventSlot = eventSlot;
  decision->list = eventSlotList(eventSlot);
  int release = releaseOfPress(eventSlot);
  if (decision->list == NO_OFFSET && release >= 0) {
    decision->list = eventSlotList(release);
    decision->byRelease = decision->list != NO_OFFSET;
  }
  if (decision->list == NO_OFFSET) return;
  decision->winner = findWinningEntry(decision->list, facts, &decision->trace);
}

const char *decidedAction(const EventDecision &decision) {
  const char *name = entryActionName(decision.list, decision.winner);
  return name ? name : "";
}
