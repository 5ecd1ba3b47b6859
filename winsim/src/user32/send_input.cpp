// SendInput, for key strokes. What the documentation promises and the
// model keeps:
// - "The SendInput function inserts the events in the INPUT structures
//   serially into the keyboard or mouse input stream. These events are not
//   interspersed with other keyboard or mouse input events inserted either
//   by the user (with the keyboard or mouse) or by calls to keybd_event,
//   mouse_event, or other calls to SendInput." Every stroke of one call
//   carries the call's number in the key record.
// - "This function does not reset the keyboard's current state. Any keys
//   that are already pressed when the function is called might interfere
//   with the events that this function generates." The strokes go through
//   the same key state as keybd_event's, so a key held before the call
//   is still down during it.
// - "If cbSize is not the size of an INPUT structure, the function fails."
// Mouse and hardware input, and Unicode or scan-code strokes, are not
// simulated: a call carrying any of them inserts nothing and fails, rather
// than pretend.
#include <windows.h>

#include "key_input.h"
#include "records.h"

namespace winsim {

namespace {

bool isSimulated(const INPUT &input) {
  return input.type == INPUT_KEYBOARD &&
         !(input.ki.dwFlags & (KEYEVENTF_UNICODE | KEYEVENTF_SCANCODE)) && input.ki.wVk != 0 &&
         input.ki.wVk < 256;
}

}  // namespace

}  // namespace winsim

using namespace winsim;

extern "C" {

UINT WINAPI SendInput(UINT count, LPINPUT inputs, int size) {
  if (size != (int)sizeof(INPUT) || (count && !inputs)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  for (UINT i = 0; i < count; ++i) {
    if (!isSimulated(inputs[i])) {
      SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
      return 0;
    }
  }
  int batch = nextInputBatch();
  for (UINT i = 0; i < count; ++i) {
    const KEYBDINPUT &key = inputs[i].ki;
    injectKey((BYTE)key.wVk, (BYTE)key.wScan, key.dwFlags, key.dwExtraInfo, batch);
  }
  return count;
}

}  // extern "C"
