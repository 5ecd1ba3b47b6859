#include "hooks/marshalled_messages.h"

#include <windows.h>

#include "hooks/hook_state.h"

namespace {

// Thread identifiers are multiples of four.
volatile MarshalledMessage *slotOf(DWORD threadId) {
  return &marshalledMessages[(threadId >> 2) % MARSHALLED_MESSAGE_SLOTS];
}

// Window handles are 32-bit values on either bitness ("it is safe to
// truncate the handle" when 32- and 64-bit programs exchange them).
uint32_t handleBits(HWND window) { return (uint32_t)(UINT_PTR)window; }

}  // namespace

// The thread is written last and cleared first, so that a program reading
// at the same moment finds either no note or a whole one for its thread.
void noteMarshalledMessage(DWORD threadId, UINT message, HWND window) {
  volatile MarshalledMessage *slot = slotOf(threadId);
  slot->threadId = 0;
  slot->message = message;
  slot->window = handleBits(window);
  __sync_synchronize();
  slot->threadId = threadId;
}

int takeMarshalledMessage(UINT message, HWND window) {
  DWORD threadId = GetCurrentThreadId();
  volatile MarshalledMessage *slot = slotOf(threadId);
  if (slot->threadId != threadId || slot->message != message ||
      slot->window != handleBits(window)) {
    return 0;
  }
  slot->threadId = 0;
  return 1;
}
