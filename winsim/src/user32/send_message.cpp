// SendMessageA, SendMessageTimeoutA and the system's own notifications. A window procedure runs
// at once, as the thread that owns the window (in Windows the sender waits
// while that thread answers); the call-window hooks run around it. Posted
// messages handed to DispatchMessageA do not run these hooks.
#include <windows.h>

#include "desktop_state.h"
#include "records.h"
#include "winsim/control.h"

namespace winsim {

LRESULT callProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(window);
  if (!w || !w->proc) return 0;
  return w->proc(window, message, wParam, lParam);
}

LRESULT sendInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(window);
  if (!w) return 0;
  bool sameThread = w->threadId == GetCurrentThreadId();
  AsThread owningThread(w->threadId);
  CWPSTRUCT call = {lParam, wParam, message, window};
  runHookChain(WH_CALLWNDPROC, HC_ACTION, sameThread, (LPARAM)&call);
  LRESULT result = callProcedure(window, message, wParam, lParam);
  CWPRETSTRUCT returned = {result, lParam, wParam, message, window};
  runHookChain(WH_CALLWNDPROCRET, HC_ACTION, sameThread, (LPARAM)&returned);
  return result;
}

}  // namespace winsim

using namespace winsim;

extern "C" {

namespace {

bool ownedByHungThread(HWND window) {
  Window *w = findWindow(window);
  Thread *owner = w ? findThread(w->threadId) : NULL;
  return owner && owner->hung && w->threadId != GetCurrentThreadId();
}

// SendMessageA "does not return until the window procedure has processed
// the message": to a hung thread's window it would wait for ever. Here it
// still gets its answer, and the wait is counted.
LRESULT sendWaiting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (ownedByHungThread(window)) ++desktop().hungWaits;
  return sendInternal(window, message, wParam, lParam);
}

}  // namespace

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  recordMessage(window, message, wParam, lParam, WINSIM_SENT);
  if (window == HWND_BROADCAST) {
    HWND list[MAX_WINDOWS];
    int count = collectChildren(DESKTOP_INDEX, list, MAX_WINDOWS);
    for (int i = 0; i < count; ++i) sendWaiting(list[i], message, wParam, lParam);
    return 1;
  }
  if (!findWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return sendWaiting(window, message, wParam, lParam);
}

int winsimHungWaitCount(void) { return desktop().hungWaits; }

// Nothing waits here: a window of a hung thread other than the sender's
// times out at once, whatever the timeout; any other answers as with
// SendMessageA.
LRESULT WINAPI SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT,
                                   UINT, PDWORD_PTR result) {
  if (result) *result = 0;
  // HWND_BROADCAST: "the function does not return until each window has
  // timed out"; with SMTO_ABORTIFHUNG it "returns without waiting for the
  // time-out period to elapse if the receiving thread appears to not
  // respond". Either way a hung window's procedure never runs.
  if (window == HWND_BROADCAST) {
    recordMessage(window, message, wParam, lParam, WINSIM_SENT);
    HWND list[MAX_WINDOWS];
    int count = collectChildren(DESKTOP_INDEX, list, MAX_WINDOWS);
    for (int i = 0; i < count; ++i) {
      if (!ownedByHungThread(list[i])) sendInternal(list[i], message, wParam, lParam);
    }
    return 1;
  }
  recordMessage(window, message, wParam, lParam, WINSIM_SENT);
  Window *w = findWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  Thread *owner = findThread(w->threadId);
  if (owner && owner->hung && w->threadId != GetCurrentThreadId()) {
    SetLastError(ERROR_TIMEOUT);
    return 0;
  }
  LRESULT answer = sendInternal(window, message, wParam, lParam);
  if (result) *result = (DWORD_PTR)answer;
  return 1;
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

}  // extern "C"
