// Posted messages and the retrieval side of the message loop. Each
// simulated thread has a fixed ring of posted messages; retrieving first
// carries out what other threads asked of the thread (asynchronous window
// moves, activation), as Windows handles sent messages before posted ones.
#include <windows.h>

#include "desktop_state.h"
#include "kernel32/change_notifications.h"
#include "records.h"
#include "winsim/control.h"

namespace winsim {

namespace {

const HWND THREAD_MESSAGES_ONLY = (HWND)-1;

bool matches(const MSG &msg, HWND filter, UINT first, UINT last) {
  if (filter == THREAD_MESSAGES_ONLY) {
    if (msg.hwnd) return false;
  } else if (filter && !isInside(msg.hwnd, filter)) {
    return false;
  }
  if ((first || last) && (msg.message < first || msg.message > last)) return false;
  return true;
}

MSG &queued(Thread &t, int position) { return t.queue[(t.queueHead + position) % QUEUE_CAPACITY]; }

void removeQueued(Thread &t, int position) {
  for (int i = position; i + 1 < t.queueCount; ++i) queued(t, i) = queued(t, i + 1);
  --t.queueCount;
}

bool enqueue(DWORD threadId, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Thread *t = findThread(threadId);
  if (!t) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return false;
  }
  if (t->queueCount == QUEUE_CAPACITY) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return false;
  }
  queued(*t, t->queueCount++) = {window, message, wParam, lParam, GetTickCount(), {0, 0}};
  return true;
}

void runEvent(const ThreadEvent &e) {
  switch (e.kind) {
    case EVENT_WINDOW_POS:
      setWindowPos(e.window, e.insertAfter, e.x, e.y, e.cx, e.cy, e.flags);
      break;
    case EVENT_ACTIVATE:
      if (desktop().foregroundThreadId == GetCurrentThreadId()) setActiveWindow(e.window, true);
      break;
    case EVENT_DEACTIVATE:
      if (desktop().foregroundThreadId != GetCurrentThreadId()) setActiveWindow(NULL, false);
      break;
    case EVENT_RAISE:
      if (!IsIconic(e.window)) raiseSilently(e.window);
      break;
  }
}

bool retrieve(MSG *msg, HWND filter, UINT first, UINT last, UINT remove) {
  Thread &t = currentThread();
  runPendingEvents(t.id);
  for (int i = 0; i < t.queueCount; ++i) {
    if (!matches(queued(t, i), filter, first, last)) continue;
    *msg = queued(t, i);
    if (remove & PM_REMOVE) removeQueued(t, i);
    runHookChain(WH_GETMESSAGE, HC_ACTION, remove & PM_REMOVE, (LPARAM)msg);
    return true;
  }
  if (!t.quitPosted) return false;
  *msg = {NULL, WM_QUIT, (WPARAM)t.quitCode, 0, GetTickCount(), {0, 0}};
  if (remove & PM_REMOVE) t.quitPosted = false;
  runHookChain(WH_GETMESSAGE, HC_ACTION, remove & PM_REMOVE, (LPARAM)msg);
  return true;
}

// Whether a message of a kind `wakeMask` names waits in the queue. Posted
// messages are all winsim queues (input arrives posted too).
const DWORD QS_INPUT_KINDS = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_HOTKEY;

bool queueWakes(DWORD wakeMask) {
  Thread &t = currentThread();
  runPendingEvents(t.id);
  if (!(wakeMask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE | QS_INPUT_KINDS))) return false;
  return t.queueCount > 0 || t.quitPosted;
}

// The index of the first signalled handle, `count` when none is, or -1
// for a handle that is no change notification (the only objects winsim
// waits for).
int firstSignalled(DWORD count, const HANDLE *handles) {
  for (DWORD i = 0; i < count; ++i) {
    int state = changeNotificationState(handles[i]);
    if (state < 0) return -1;
    if (state > 0) return (int)i;
  }
  return (int)count;
}

int broadcastPost(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list[MAX_WINDOWS];
  int count = collectChildren(DESKTOP_INDEX, list, MAX_WINDOWS);
  for (int i = 0; i < count; ++i) postInternal(list[i], message, wParam, lParam);
  return TRUE;
}

}  // namespace

void runPendingEvents(DWORD threadId) {
  Thread *t = findThread(threadId);
  if (!t) return;
  AsThread asOwner(threadId);
  for (int budget = 4 * EVENT_CAPACITY; t->eventCount > 0 && budget > 0; --budget) {
    ThreadEvent e = t->events[t->eventHead];
    t->eventHead = (t->eventHead + 1) % EVENT_CAPACITY;
    --t->eventCount;
    runEvent(e);
  }
}

bool postInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(window);
  return w && enqueue(w->threadId, window, message, wParam, lParam);
}

void dropQueuedMessagesFor(HWND window) {
  for (Thread &t : desktop().threads) {
    if (!t.inUse) continue;
    for (int i = t.queueCount - 1; i >= 0; --i) {
      if (queued(t, i).hwnd == window) removeQueued(t, i);
    }
  }
}

}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  recordMessage(window, message, wParam, lParam, WINSIM_POSTED);
  if (!window) return enqueue(GetCurrentThreadId(), NULL, message, wParam, lParam);
  if (window == HWND_BROADCAST) return broadcastPost(message, wParam, lParam);
  Window *w = findWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return enqueue(w->threadId, window, message, wParam, lParam);
}

BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  recordMessage(NULL, message, wParam, lParam, WINSIM_POSTED);
  return enqueue(threadId, NULL, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
  Thread &t = currentThread();
  t.quitPosted = true;
  t.quitCode = exitCode;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last) {
  if (retrieve(msg, window, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
  Desktop &d = desktop();
  if (d.idleHandler) {
    d.idleHandler();
    if (retrieve(msg, window, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
  }
  ++d.idleExits;
  *msg = {NULL, WM_QUIT, 0, 0, GetTickCount(), {0, 0}};
  return FALSE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove) {
  return retrieve(msg, window, first, last, remove);
}

// "WAIT_OBJECT_0 to (WAIT_OBJECT_0 + nCount - 1)": the lowest index of an
// object that satisfied the wait; "WAIT_OBJECT_0 + nCount: New input of the
// type specified in the dwWakeMask parameter is available in the thread's
// input queue." Messages the thread has already seen with PeekMessage and
// left queued count here too: winsim keeps no note of what is new.
DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL waitAll,
                                       DWORD milliseconds, DWORD wakeMask) {
  if (count > MAXIMUM_WAIT_OBJECTS - 1 || (count && !handles) || waitAll) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  Desktop &d = desktop();
  for (int attempt = 0; attempt < 2; ++attempt) {
    int signalled = firstSignalled(count, handles);
    if (signalled < 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    if (signalled < (int)count) return WAIT_OBJECT_0 + (DWORD)signalled;
    if (queueWakes(wakeMask)) return WAIT_OBJECT_0 + count;
    if (attempt == 0 && d.idleHandler) d.idleHandler();
  }
  if (milliseconds != INFINITE) {
    winsimAdvanceTickCount(milliseconds);
    return WAIT_TIMEOUT;
  }
  ++d.idleExits;
  PostQuitMessage(0);
  return WAIT_OBJECT_0 + count;
}

BOOL WINAPI TranslateMessage(const MSG *msg) {
  if (!msg) return FALSE;
  return msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg) {
  if (!msg || !msg->hwnd) return 0;
  if (!findWindow(msg->hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return callProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

int winsimRunThread(DWORD threadId) {
  Thread *t = findThread(threadId);
  if (!t) return 0;
  AsThread asThread(threadId);
  runPendingEvents(threadId);
  int dispatched = 0;
  MSG msg;
  while (t->queueCount > 0) {
    msg = queued(*t, 0);
    removeQueued(*t, 0);
    runHookChain(WH_GETMESSAGE, HC_ACTION, PM_REMOVE, (LPARAM)&msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++dispatched;
    runPendingEvents(threadId);
  }
  return dispatched;
}

void winsimSetIdleHandler(void (*handler)(void)) { desktop().idleHandler = handler; }

int winsimIdleExitCount(void) { return desktop().idleExits; }

}  // extern "C"
