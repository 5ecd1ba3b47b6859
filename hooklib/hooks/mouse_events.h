// The dispatcher's handling of single mouse messages, one function per row
// of its message table. Each returns the message's HookVerdict; what the
// hook makes of the verdict is mouseHookProc's business.
#pragma once

#include <windows.h>

#include "config/image_layout.h"

struct MouseEvent {
  UINT message;  // the low 16 bits of the hook's wParam
  const MOUSEHOOKSTRUCT *hook;
  HWND target;  // the click target; none for moves, which need none
};

// The rule list the image assigns to a client or non-client event: the slot
// at `clientSlot` for a client-area message, at `nonClientSlot` otherwise.
ImageOffset eventList(UINT message, int clientSlot, int nonClientSlot);

// ---- button_messages.cpp: left and right button, wheel, everything else ----
LRESULT handleLeftPress(const MouseEvent *event);
LRESULT handleLeftRelease(const MouseEvent *event);
LRESULT handleLeftDoubleClick(const MouseEvent *event);
LRESULT handleRightPress(const MouseEvent *event);
LRESULT handleOtherMessage(const MouseEvent *event);

// ---- gesture.cpp: the middle-button gesture -----------------------------------
// Marks a pressed gesture spoiled; any other state stays.
void spoilMiddleGesture(void);
LRESULT handleMiddlePress(const MouseEvent *event);
LRESULT handleMiddleRelease(const MouseEvent *event);

// ---- mouse_move.cpp ----------------------------------------------------------
LRESULT handleMove(const MouseEvent *event);
