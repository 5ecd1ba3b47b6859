// The right and extra buttons' gesture, shared by all processes: the press
// is decided by its own list or, without one, by its release's; and a
// press that was swallowed takes its release with it, so that the window
// never sees a release without its press (which would open its window menu
// or context menu after the action). Anything that spoils the middle
// gesture spoils this one too; a spoiled release runs no action and goes
// on to the window. These transitions are the only writers of
// buttonGesture.
#pragma once

#include <windows.h>

#include "hooks/mouse_event.h"

// Marks a pending gesture spoiled.
void spoilButtonGesture(void);

// A press (or double click, the second press) of the right or an extra
// button: `pressEvent` is the client-area event whose list decides it
// (config/name_tables.h numbering; for an extra button, the first's).
LRESULT handleButtonPress(const MouseEvent *event, int pressEvent);

// A release of the right or an extra button: `releaseEvent` as above.
LRESULT handleButtonRelease(const MouseEvent *event, int releaseEvent);

// An event with a list and no gesture (the middle double clicks).
LRESULT handleListEvent(const MouseEvent *event, int listEvent);
