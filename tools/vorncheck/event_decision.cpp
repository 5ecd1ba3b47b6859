#include "event_decision.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/name_tables.h"
#include "hooks/gesture.h"

namespace {

// In the event table's order.
#define EVENT_MESSAGE(name, message, offset) message,
const UINT EVENT_MESSAGES[] = {VORN_EVENT_SLOTS(EVENT_MESSAGE)};
#undef EVENT_MESSAGE
#define SAME_MESSAGE(name, message, offset) \
  static_assert(message == WM_##name, "the event is the message of its name");
VORN_EVENT_SLOTS(SAME_MESSAGE)
#undef SAME_MESSAGE

int isMiddlePress(UINT message) { return message == WM_MBUTTONDOWN || message == WM_NCMBUTTONDOWN; }

int slotOfMessage(UINT message) {
  for (int slot = 0; slot < HEADER_EVENT_SLOT_COUNT; ++slot) {
    if (EVENT_MESSAGES[slot] == message) return slot;
  }
  return -1;
}

}  // namespace

UINT eventMessage(int eventSlot) { return EVENT_MESSAGES[eventSlot]; }

int isNonClientEvent(int eventSlot) { return eventMessage(eventSlot) < WM_MOUSEFIRST; }

int middlePressOfRelease(int eventSlot) {
  UINT message = eventMessage(eventSlot);
  if (message == WM_MBUTTONUP) return slotOfMessage(WM_MBUTTONDOWN);
  if (message == WM_NCMBUTTONUP) return slotOfMessage(WM_NCMBUTTONDOWN);
  return -1;
}

int middleReleaseOfPress(int eventSlot) {
  UINT message = eventMessage(eventSlot);
  if (message == WM_MBUTTONDOWN) return slotOfMessage(WM_MBUTTONUP);
  if (message == WM_NCMBUTTONDOWN) return slotOfMessage(WM_NCMBUTTONUP);
  return -1;
}

void decideEvent(int eventSlot, ClickFacts *facts, EventDecision *decision) {
  UINT message = eventMessage(eventSlot);
  *decision = EventDecision{};
  decision->eventSlot = eventSlot;
  if (isMiddlePress(message)) {
    decision->list = middlePressList(message, &decision->byRelease);
  } else {
    decision->list = imageField((ImageOffset)eventSlotHeaderOffset(eventSlot));
  }
  if (decision->list == NO_OFFSET) return;
  decision->winner = findWinningEntry(decision->list, facts, &decision->trace);
}

const char *decidedAction(const EventDecision &decision) {
  const char *name = entryActionName(decision.list, decision.winner);
  return name ? name : "";
}
