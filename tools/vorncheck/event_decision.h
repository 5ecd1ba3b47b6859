// Which rule list decides a click of an event, picked the way the mouse
// hook picks it, and the hooks' rule walk over that list.
#pragma once

#include <windows.h>

#include "config/image_layout.h"
#include "hooks/click_facts.h"
#include "hooks/rule_walk.h"

struct EventDecision {
  int eventSlot;     // the event of the click, an index into the event table
  ImageOffset list;  // the list that decides it; NO_OFFSET: none does, the click passes
  // 1 for a press without a list of its own: its release's list
  // decides only whether the press may pass, and no action runs on it.
  int byRelease;
  int winner;  // the winning entry of `list`: 1 to 9, or 0 for the default rule
  WalkTrace trace;
};

// The list that decides a click of `eventSlot` described by `facts`, and
// the walk over it.
void decideEvent(int eventSlot, ClickFacts *facts, EventDecision *decision);

// The winner's action name; "" when it cannot be read.
const char *decidedAction(const EventDecision &decision);

// The mouse message of an event, and whether it is one of a non-client
// area (caption, frame, buttons: the NC events).
UINT eventMessage(int eventSlot);
int isNonClientEvent(int eventSlot);

// The press whose release is `eventSlot`, and the release of the press
// `eventSlot` (middle, right and extra buttons; a right double click is a
// press); -1 for any other event.
int pressOfRelease(int eventSlot);
int releaseOfPress(int eventSlot);

// 1 for the presses and releases of the right and extra buttons, whose
// swallowed press takes its release with it.
int isButtonGestureEvent(int eventSlot);
