// One key stroke into the simulated input stream, shared by keybd_event
// and SendInput.
#pragma once

#include <windows.h>

namespace winsim {

// Records the stroke (`batch`: its SendInput call, 0 for keybd_event),
// updates the key state and posts the key message to the focus window of
// the foreground thread.
void injectKey(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo, int batch);

}  // namespace winsim
