// Foreground, active window and focus. Each simulated thread has its own
// active and focus window; the foreground window is the active window of
// the foreground thread. As under Wine, a thread's activation runs on that
// thread: SetForegroundWindow for a window of another thread takes effect
// when that thread next retrieves messages, and the raise that follows an
// activation also waits for the owning thread's next message retrieval
// (and, as in Wine, does not happen to a minimised window).
#include <windows.h>

#include "desktop_state.h"
#include "records.h"

namespace winsim {

namespace {

void rememberLastActive(Window &w) {
  w.lastActivePopup = w.handle;
  for (int owner = w.owner; owner != NO_WINDOW; owner = windowAt(owner).owner)
    windowAt(owner).lastActivePopup = w.handle;
}

void sendActivateApp(DWORD threadId, BOOL active, DWORD otherThreadId) {
  HWND list[MAX_WINDOWS];
  int count = collectChildren(DESKTOP_INDEX, list, MAX_WINDOWS);
  for (int i = 0; i < count; ++i) {
    Window *w = findWindow(list[i]);
    if (w && w->threadId == threadId)
      sendInternal(list[i], WM_ACTIVATEAPP, (WPARAM)active, (LPARAM)otherThreadId);
  }
}

void deactivate(HWND previous, HWND next) {
  sendInternal(previous, WM_NCACTIVATE, FALSE, (LPARAM)next);
  sendInternal(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(previous) ? 1 : 0),
               (LPARAM)next);
}

void activate(HWND window, HWND previous) {
  sendInternal(window, WM_NCACTIVATE, TRUE, (LPARAM)previous);
  sendInternal(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(window) ? 1 : 0),
               (LPARAM)previous);
}

DWORD threadOf(HWND window) {
  Window *w = findWindow(window);
  return w ? w->threadId : 0;
}

void activateOnThread(DWORD threadId, HWND window, bool raise) {
  if (threadId == GetCurrentThreadId())
    setActiveWindow(window, raise);
  else
    pushEvent(threadId, {EVENT_ACTIVATE, window, NULL, 0, 0, 0, 0, 0});
}

void deactivateThread(DWORD threadId) {
  if (threadId == GetCurrentThreadId())
    setActiveWindow(NULL, false);
  else
    pushEvent(threadId, {EVENT_DEACTIVATE, NULL, NULL, 0, 0, 0, 0, 0});
}

// The window that takes over when `window` goes away: its owner for a
// popup, else the next activatable window below it, else from the top.
HWND successorOf(HWND window) {
  Window *w = findWindow(window);
  if (w && (w->style & WS_POPUP) && w->owner != NO_WINDOW) {
    HWND owner = handleOf(topLevelAncestor(w->owner));
    if (canActivate(owner)) return owner;
  }
  if (w) {
    for (int i = w->next; i != NO_WINDOW; i = windowAt(i).next) {
      if (canActivate(windowAt(i).handle)) return windowAt(i).handle;
    }
  }
  for (int i = windowAt(DESKTOP_INDEX).firstChild; i != NO_WINDOW; i = windowAt(i).next) {
    if (windowAt(i).handle == window) break;
    if (canActivate(windowAt(i).handle)) return windowAt(i).handle;
  }
  return NULL;
}

DWORD processOfThread(DWORD threadId) {
  Thread *t = findThread(threadId);
  return t ? t->processId : 0;
}

// The foreground lock, from the Remarks of SetForegroundWindow: "The system
// restricts which processes can set the foreground window. A process can
// set the foreground window by calling SetForegroundWindow only if ... at
// least one of the following conditions is true: The foreground lock
// time-out has expired (see SPI_GETFOREGROUNDLOCKTIMEOUT in
// SystemParametersInfo). The calling process is the foreground process.
// The calling process was started by the foreground process. There is
// currently no foreground window, and thus no foreground process. The
// calling process received the last input event. Either the foreground
// process or the calling process is being debugged." winsim knows no
// parents and no debuggers, and counts the time-out as expired when it is
// 0. Wine has no such lock: it lets every call through.
bool mayCallerSetForeground() {
  Desktop &d = desktop();
  DWORD caller = GetCurrentProcessId();
  if (d.foregroundLockTimeout == 0 || GetForegroundWindow() == NULL) return true;
  return caller == processOfThread(d.foregroundThreadId) || caller == d.lastInputProcessId;
}

}  // namespace

bool canActivate(HWND window) {
  Window *w = findWindow(window);
  if (!w || w->destroying) return false;
  if (!(w->style & WS_VISIBLE) || isChildStyle(*w)) return false;
  return !(w->style & WS_DISABLED);
}

HWND setFocusWindow(HWND window) {
  Thread &t = currentThread();
  HWND previous = validOrNull(t.focusWindow);
  if (previous == window) return previous;
  t.focusWindow = window;
  if (previous) sendInternal(previous, WM_KILLFOCUS, (WPARAM)window, 0);
  if (window && currentThread().focusWindow == window)
    sendInternal(window, WM_SETFOCUS, (WPARAM)previous, 0);
  return previous;
}

HWND setActiveWindow(HWND window, bool raise) {
  Thread &t = currentThread();
  HWND previous = validOrNull(t.activeWindow);
  if (previous == window) return previous;
  t.activeWindow = window;
  if (Window *w = findWindow(window)) rememberLastActive(*w);
  if (previous) deactivate(previous, window);
  DWORD oldThreadId = threadOf(previous), newThreadId = threadOf(window);
  if (oldThreadId != newThreadId) {
    if (oldThreadId) sendActivateApp(oldThreadId, FALSE, newThreadId);
    if (newThreadId) sendActivateApp(newThreadId, TRUE, oldThreadId);
  }
  bool stillActive = currentThread().activeWindow == window;
  if (window && stillActive && findWindow(window)) activate(window, previous);
  if (currentThread().activeWindow != window) return previous;
  HWND focus = validOrNull(currentThread().focusWindow);
  if (!focus || !window || GetAncestor(focus, GA_ROOT) != window) setFocusWindow(window);
  if (raise && window) pushEvent(GetCurrentThreadId(), {EVENT_RAISE, window, NULL, 0, 0, 0, 0, 0});
  return previous;
}

BOOL setForeground(HWND window, bool raise) {
  Window *w = findWindow(window);
  if (!w || isChildStyle(*w)) return FALSE;
  Desktop &d = desktop();
  DWORD oldThreadId = d.foregroundThreadId;
  HWND oldForeground = GetForegroundWindow();
  d.foregroundThreadId = w->threadId;
  if (oldThreadId && oldThreadId != w->threadId) deactivateThread(oldThreadId);
  if (oldForeground != window) activateOnThread(w->threadId, window, raise);
  return TRUE;
}

void activateOtherWindow(HWND window) {
  HWND successor = successorOf(window);
  HWND foreground = GetForegroundWindow();
  if ((!foreground || foreground == window) && successor && setForeground(successor, true)) return;
  if (successor && threadOf(successor) == GetCurrentThreadId())
    setActiveWindow(successor, true);
  else
    setActiveWindow(NULL, false);
}

void forgetWindow(HWND window) {
  for (Thread &t : desktop().threads) {
    if (!t.inUse) continue;
    if (t.activeWindow == window) t.activeWindow = NULL;
    if (t.focusWindow == window) t.focusWindow = NULL;
  }
}

}  // namespace winsim

using namespace winsim;

extern "C" {

HWND WINAPI GetForegroundWindow(void) {
  Thread *t = findThread(desktop().foregroundThreadId);
  return t ? validOrNull(t->activeWindow) : NULL;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
  recordForeground(window);
  if (!mayCallerSetForeground()) {
    // "An application cannot force a window to the foreground while the
    // user is working with another window. Instead, Windows flashes the
    // taskbar button of the window to notify the user."
    if (Window *w = findWindow(window)) ++w->flashCount;
    return FALSE;
  }
  return setForeground(window, true);
}

void winsimSetLastInputProcess(DWORD processId) { desktop().lastInputProcessId = processId; }

int winsimWindowFlashCount(HWND window) {
  Window *w = findWindow(window);
  return w ? w->flashCount : 0;
}

HWND WINAPI GetActiveWindow(void) { return validOrNull(currentThread().activeWindow); }

HWND WINAPI SetActiveWindow(HWND window) {
  if (window) {
    Window *w = findWindow(window);
    if (!w || w->threadId != GetCurrentThreadId()) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return NULL;
    }
    if (isChildStyle(*w)) return GetActiveWindow();
    window = GetAncestor(window, GA_ROOT);
  }
  return setActiveWindow(window, true);
}

HWND WINAPI GetFocus(void) { return validOrNull(currentThread().focusWindow); }

HWND WINAPI SetFocus(HWND window) {
  if (!window) return setFocusWindow(NULL);
  Window *w = findWindow(window);
  if (!w || w->threadId != GetCurrentThreadId()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return NULL;
  }
  for (int i = indexOf(*w); i != DESKTOP_INDEX; i = windowAt(i).parent) {
    if (windowAt(i).style & (WS_MINIMIZE | WS_DISABLED)) return NULL;
  }
  HWND root = GetAncestor(window, GA_ROOT);
  if (root != GetActiveWindow()) {
    setActiveWindow(root, false);
    if (!findWindow(window) || root != GetActiveWindow()) return NULL;
  }
  return setFocusWindow(window);
}

}  // extern "C"
