#include "message_pump.h"

#include <windows.h>

#include <stdlib.h>

namespace e2e {

namespace {

// Other processes change what the conditions look at (the foreground, the
// z-order, files) without telling this thread: look again this often.
const DWORD POLL_MS = 10;

DWORD millisecondsLeft(DWORD start, DWORD timeoutMs) {
  DWORD elapsed = GetTickCount() - start;
  return elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
}

DWORD scaledTimeout(DWORD timeoutMs) {
  static int scale = 0;
  if (scale == 0) {
    const char *value = getenv("VORN_E2E_TIME_SCALE");
    scale = value && atoi(value) > 0 ? atoi(value) : 1;
  }
  return timeoutMs * (DWORD)scale;
}

}  // namespace

void pumpPending() {
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool pumpUntil(const std::function<bool()> &condition, DWORD timeoutMs) {
  return pumpUntilUnscaled(condition, scaledTimeout(timeoutMs));
}

bool pumpUntilUnscaled(const std::function<bool()> &condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    pumpPending();
    if (condition()) return true;
    DWORD left = millisecondsLeft(start, timeoutMs);
    if (left == 0) return false;
    MsgWaitForMultipleObjects(0, NULL, FALSE, left < POLL_MS ? left : POLL_MS, QS_ALLINPUT);
  }
}

bool pumpUntilSignalled(HANDLE object, DWORD timeoutMs) {
  timeoutMs = scaledTimeout(timeoutMs);
  DWORD start = GetTickCount();
  for (;;) {
    DWORD left = millisecondsLeft(start, timeoutMs);
    DWORD woken = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    pumpPending();
  }
}

}  // namespace e2e
