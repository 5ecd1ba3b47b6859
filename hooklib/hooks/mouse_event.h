// One mouse message as the dispatcher hands it to the handler of its row
// (button_messages.h, gesture.h, mouse_move.h). Each handler returns the
// message's HookVerdict; what the hook makes of the verdict is
// mouseHookProc's business.
#pragma once

#include <windows.h>

#include "config/image_access.h"
#include "config/image_layout.h"

struct MouseEvent {
  UINT message;  // the low 16 bits of the hook's wParam
  const MOUSEHOOKSTRUCT *hook;
  HWND target;  // the click target; none for moves, which need none
  // The image's generation when the hook was called, before anything was
  // read from the image: the rule walk acts only if it is still the same.
  uint32_t generation;
};

// The rule list the image assigns to a client or non-client event: the slot
// at `clientSlot` for a client-area message, at `nonClientSlot` otherwise.
inline ImageOffset eventList(UINT message, int clientSlot, int nonClientSlot) {
  return imageField(message >= WM_MOUSEFIRST ? clientSlot : nonClientSlot);
}
