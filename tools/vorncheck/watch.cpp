// The watch's hook and its thread: Windows builds only (the host build has
// no desktop to watch, watch_unavailable.cpp).
#include "watch.h"

#include <windows.h>

#include <stdio.h>

#include "console_text.h"
#include "hooks/click_facts.h"

namespace {

const UINT WM_WATCHED_EVENT = WM_APP + 1;
const int RING_SIZE = 256;

// Written by the hook's thread, each before its number is posted to the
// reporting thread; an event the reporter fell too far behind to read is
// overwritten, and the reporter counts it as missed.
SeenButtonEvent ring[RING_SIZE];
LONG eventsSeen = 0;
DWORD reporterThreadId = 0;

bool isButtonMessage(WPARAM message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
      return true;
    default:
      return false;
  }
}

// Runs on the hook's thread for every mouse event of the desktop, before
// any window sees it: records, posts and passes it on, nothing more. ("The
// hook procedure should process a message in less time than [...]
// LowLevelHooksTimeout"; on Windows 7 and later a hook that takes longer
// is removed without being called.)
LRESULT CALLBACK recordButtonEvent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && isButtonMessage(wParam)) {
    const MSLLHOOKSTRUCT *data = (const MSLLHOOKSTRUCT *)lParam;
    LONG number = eventsSeen++;
    ClickFacts keys;  // read as the hooks read them
    describeClickWindows(&keys, NULL, NULL, NULL, HTNOWHERE);
    ring[number % RING_SIZE] = {number,     (UINT)wParam,          data->pt,        data->mouseData,
                                data->time, GetForegroundWindow(), clickKeys(&keys)};
    PostThreadMessageA(reporterThreadId, WM_WATCHED_EVENT, (WPARAM)number, 0);
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}

struct HookThread {
  HANDLE ready;
  bool installed;
};

// The system calls the hook while this thread waits for messages; it has
// nothing else to do, so no click ever waits for the reporting.
DWORD WINAPI runHookThread(LPVOID parameter) {
  HookThread *thread = (HookThread *)parameter;
  HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, recordButtonEvent, GetModuleHandleA(NULL), 0);
  thread->installed = hook != NULL;
  SetEvent(thread->ready);
  if (!hook) return 1;
  // Awake at least every second: Wine passes no low-level hook call to a
  // thread that has not asked for a message for five seconds (it takes it
  // for hung), and so would never wake one that only waits.
  for (bool quit = false; !quit;) {
    MsgWaitForMultipleObjects(0, NULL, FALSE, 1000, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) quit = quit || message.message == WM_QUIT;
  }
  UnhookWindowsHookEx(hook);
  return 0;
}

void reportPosted(WatchReporter *reporter, const MSG &message) {
  if (message.message != WM_WATCHED_EVENT) return;
  SeenButtonEvent event = ring[message.wParam % RING_SIZE];
  if (event.number == (LONG)message.wParam) reporter->report(event);
}

}  // namespace

int watchClicks(int seconds, FILE *out) {
  reporterThreadId = GetCurrentThreadId();
  HookThread thread = {CreateEventA(NULL, TRUE, FALSE, NULL), false};
  DWORD hookThreadId = 0;
  HANDLE handle =
      thread.ready ? CreateThread(NULL, 0, runHookThread, &thread, 0, &hookThreadId) : NULL;
  if (handle) WaitForSingleObject(thread.ready, INFINITE);
  if (!handle || !thread.installed) {
    consolePrintf(stderr, "vorncheck: the system does not let vorncheck watch the mouse\n");
    return 2;
  }
  if (seconds > 0) {
    consolePrintf(out, "watching mouse button events for %d seconds\n", seconds);
  } else {
    consolePrintf(out, "watching mouse button events until Ctrl+C\n");
  }
  fflush(out);
  WatchReporter reporter(out);
  DWORD start = GetTickCount();
  DWORD limit = seconds > 0 ? (DWORD)seconds * 1000u : INFINITE;
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (limit != INFINITE && elapsed >= limit) break;
    MsgWaitForMultipleObjects(0, NULL, FALSE, limit == INFINITE ? INFINITE : limit - elapsed,
                              QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) reportPosted(&reporter, message);
  }
  PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
  WaitForSingleObject(handle, 5000);
  CloseHandle(handle);
  CloseHandle(thread.ready);
  consolePrintf(out, "%ld mouse button events seen\n", (long)eventsSeen);
  return 0;
}
