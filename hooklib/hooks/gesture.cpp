// The middle-button gesture, shared by all processes: a press handled in
// one process and its release in another form one gesture. Anything that
// happens between press and release spoils it; a spoiled release does no
// action and is swallowed, but makes sure some window stays active.
#include "hooks/gesture.h"

#include <windows.h>

#include "hooks/hook_state.h"
#include "hooks/rule_evaluation.h"
#include "windows/activation.h"

void spoilMiddleGesture(void) {
  if (middleState == MIDDLE_PRESSED) middleState = MIDDLE_SPOILED;
}

// Without a list of its own, the press is decided by the list of the
// release it starts, so that a press whose release will act is swallowed.
ImageOffset middlePressList(UINT message, int *byRelease) {
  ImageOffset pressList = eventList(message, HEADER_SLOT_MBUTTONDOWN, HEADER_SLOT_NCMBUTTONDOWN);
  *byRelease = pressList == NO_OFFSET;
  if (!*byRelease) return pressList;
  return eventList(message, HEADER_SLOT_MBUTTONUP, HEADER_SLOT_NCMBUTTONUP);
}

LRESULT handleMiddlePress(const MouseEvent *event) {
  middleState = MIDDLE_PRESSED;
  int byRelease = 0;
  ImageOffset list = middlePressList(event->message, &byRelease);
  if (byRelease)
    return precheckDownEventSince(event->generation, list, event->message, event->hook);
  return evaluateListSince(event->generation, list, event->message, event->hook);
}

// The release's own area picks the list, whichever area the press was in.
LRESULT handleMiddleRelease(const MouseEvent *event) {
  int state = middleState;
  middleState = MIDDLE_IDLE;
  if (state == MIDDLE_IDLE) return MA_ACTIVATE;
  if (state == MIDDLE_SPOILED) {
    ensureForegroundWindow(event->target);
    return MA_NOACTIVATEANDEAT;
  }
  ImageOffset list = eventList(event->message, HEADER_SLOT_MBUTTONUP, HEADER_SLOT_NCMBUTTONUP);
  return evaluateListSince(event->generation, list, event->message, event->hook);
}
