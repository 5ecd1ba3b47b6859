// The middle-button gesture, shared by all processes: a press handled in
// one process and its release in another form one gesture.
#pragma once

#include <windows.h>

#include "hooks/mouse_event.h"

// Marks a pressed gesture spoiled; any other state stays.
void spoilMiddleGesture(void);

// The list that decides a middle press (WM_MBUTTONDOWN or WM_NCMBUTTONDOWN)
// in this process's image: the press's own; without one, its release's,
// which then only decides whether the press may pass, and `byRelease`
// receives 1. NO_OFFSET when neither has a list.
ImageOffset middlePressList(UINT message, int *byRelease);

LRESULT handleMiddlePress(const MouseEvent *event);
LRESULT handleMiddleRelease(const MouseEvent *event);
