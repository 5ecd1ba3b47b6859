// The middle-button gesture, shared by all processes: a press handled in
// one process and its release in another form one gesture.
#pragma once

#include <windows.h>

#include "hooks/mouse_event.h"

// Marks a pressed gesture spoiled; any other state stays.
void spoilMiddleGesture(void);

LRESULT handleMiddlePress(const MouseEvent *event);
LRESULT handleMiddleRelease(const MouseEvent *event);
