// The desktop's tables, window handles, simulated threads and the reset
// that returns everything to a fresh desktop between tests.
#include "desktop_state.h"

#include <windows.h>

#include <string.h>

#include "records.h"
#include "winsim/control.h"

namespace winsim {

namespace {

constexpr DWORD MAIN_PROCESS_ID = 0x0F10;
constexpr DWORD FIRST_THREAD_ID = 0x1004;
constexpr DWORD THREAD_ID_STEP = 4;
// Window handles carry their table index in bits 1 to 15 and a serial
// above; serials keep growing across resets, so a stale handle from an
// earlier test never names a new window.
constexpr int HANDLE_INDEX_SHIFT = 1;
constexpr int HANDLE_SERIAL_SHIFT = 16;
constexpr uintptr_t HANDLE_INDEX_MASK = 0x7FFF;

Desktop theDesktop;
bool desktopReady = false;
uintptr_t nextSerial = 1;

// Measured in Wine's virtual desktop of 1024x768.
void setDefaultMetrics(Desktop &d) {
  int *m = d.systemMetrics;
  m[SM_CXSCREEN] = 1024;
  m[SM_CYSCREEN] = 768;
  m[SM_CXVSCROLL] = 17;
  m[SM_CYHSCROLL] = 17;
  m[SM_CYCAPTION] = 19;
  m[SM_CXBORDER] = 1;
  m[SM_CYBORDER] = 1;
  m[SM_CXDLGFRAME] = 3;
  m[SM_CYDLGFRAME] = 3;
  m[SM_CXSIZE] = 18;
  m[SM_CYSIZE] = 18;
  m[SM_CXFRAME] = 4;
  m[SM_CYFRAME] = 4;
  m[SM_CXMINTRACK] = 116;
  m[SM_CYMINTRACK] = 27;
  m[SM_CXDOUBLECLK] = 4;
  m[SM_CYDOUBLECLK] = 4;
  m[SM_CXEDGE] = 2;
  m[SM_CYEDGE] = 2;
  m[SM_CXSMICON] = 16;
  m[SM_CYSMICON] = 16;
  m[SM_CYSMCAPTION] = 16;
  m[SM_CXMINIMIZED] = 160;
  m[SM_CYMINIMIZED] = 24;
  m[SM_CXMAXIMIZED] = 1032;
  m[SM_CYMAXIMIZED] = 806;
  m[SM_CXDRAG] = 4;
  m[SM_CYDRAG] = 4;
}

void makeDesktopWindow(Desktop &d) {
  Window &w = d.windows[DESKTOP_INDEX];
  w.inUse = true;
  w.handle = allocateHandle(DESKTOP_INDEX);
  w.classIndex = -1;
  w.parent = w.owner = NO_WINDOW;
  w.firstChild = w.lastChild = w.next = w.prev = NO_WINDOW;
  w.style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  w.rect = {0, 0, d.systemMetrics[SM_CXSCREEN], d.systemMetrics[SM_CYSCREEN]};
  w.normalRect = w.rect;
  w.threadId = FIRST_THREAD_ID;
}

}  // namespace

void resetDesktop() {
  memset(&theDesktop, 0, sizeof theDesktop);
  desktopReady = true;
  Desktop &d = theDesktop;
  d.nextThreadId = FIRST_THREAD_ID;
  d.nextHookSerial = 1;
  setDefaultMetrics(d);
  d.currentThreadId = createThread(MAIN_PROCESS_ID);
  d.foregroundThreadId = 0;
  // As after the user's last click into the test program itself, with
  // Windows' default lock time-out (200,000 ms).
  d.lastInputProcessId = MAIN_PROCESS_ID;
  d.foregroundLockTimeout = 200000;
  makeDesktopWindow(d);
  registerBuiltinClasses();
  clearRecords();
}

Desktop &desktop() {
  if (!desktopReady) resetDesktop();
  return theDesktop;
}

// ---- windows -------------------------------------------------------------------

Window *findWindowOrDesktop(HWND handle) {
  uintptr_t value = (uintptr_t)handle;
  int index = (int)((value >> HANDLE_INDEX_SHIFT) & HANDLE_INDEX_MASK);
  if (value == 0 || index >= MAX_WINDOWS) return nullptr;
  Window &w = desktop().windows[index];
  if (!w.inUse || w.handle != handle) return nullptr;
  return &w;
}

Window *findWindow(HWND handle) {
  Window *w = findWindowOrDesktop(handle);
  return (w && indexOf(*w) != DESKTOP_INDEX) ? w : nullptr;
}

Window &windowAt(int index) { return desktop().windows[index]; }

int indexOf(const Window &window) { return (int)(&window - desktop().windows); }

HWND handleOf(int index) { return index == NO_WINDOW ? NULL : windowAt(index).handle; }

HWND desktopHandle() { return windowAt(DESKTOP_INDEX).handle; }

bool isTopLevel(const Window &window) { return window.parent == DESKTOP_INDEX; }

bool isChildStyle(const Window &window) {
  return (window.style & (WS_CHILD | WS_POPUP)) == WS_CHILD;
}

int topLevelAncestor(int index) {
  while (index != NO_WINDOW && windowAt(index).parent != DESKTOP_INDEX &&
         windowAt(index).parent != NO_WINDOW)
    index = windowAt(index).parent;
  return index;
}

bool isInside(HWND window, HWND ancestor) {
  for (Window *w = findWindow(window); w; w = findWindow(handleOf(w->parent))) {
    if (w->handle == ancestor) return true;
  }
  return false;
}

HWND validOrNull(HWND window) { return findWindow(window) ? window : NULL; }

HWND allocateHandle(int index) {
  return (HWND)((nextSerial++ << HANDLE_SERIAL_SHIFT) | ((uintptr_t)index << HANDLE_INDEX_SHIFT));
}

// ---- threads ---------------------------------------------------------------------

Thread *findThread(DWORD id) {
  Desktop &d = desktop();
  for (Thread &t : d.threads) {
    if (t.inUse && t.id == id) return &t;
  }
  return nullptr;
}

Thread &currentThread() { return *findThread(desktop().currentThreadId); }

bool processHasThread(DWORD processId) {
  for (const Thread &t : desktop().threads) {
    if (t.inUse && t.processId == processId) return true;
  }
  return false;
}

DWORD createThread(DWORD processId) {
  Desktop &d = theDesktop;
  for (Thread &t : d.threads) {
    if (t.inUse) continue;
    memset(&t, 0, sizeof t);
    t.inUse = true;
    t.id = d.nextThreadId;
    d.nextThreadId += THREAD_ID_STEP;
    t.processId = processId;
    return t.id;
  }
  return 0;
}

void pushEvent(DWORD threadId, const ThreadEvent &event) {
  Thread *t = findThread(threadId);
  if (!t || t->eventCount == EVENT_CAPACITY) return;
  t->events[(t->eventHead + t->eventCount) % EVENT_CAPACITY] = event;
  ++t->eventCount;
}

AsThread::AsThread(DWORD threadId) : saved(desktop().currentThreadId) {
  if (findThread(threadId)) desktop().currentThreadId = threadId;
}

AsThread::~AsThread() { desktop().currentThreadId = saved; }

}  // namespace winsim

using namespace winsim;

extern "C" {

DWORD WINAPI GetCurrentThreadId(void) { return desktop().currentThreadId; }

DWORD WINAPI GetCurrentProcessId(void) { return currentThread().processId; }

void winsimResetDesktop(void) { resetDesktop(); }

DWORD winsimCreateThread(void) {
  desktop();
  return createThread(currentThread().processId);
}

DWORD winsimCreateThreadInProcess(DWORD processId) {
  desktop();
  return createThread(processId);
}

DWORD winsimSetCurrentThread(DWORD threadId) {
  Desktop &d = desktop();
  DWORD previous = d.currentThreadId;
  if (findThread(threadId)) d.currentThreadId = threadId;
  return previous;
}

int winsimPendingEventCount(DWORD threadId) {
  Thread *t = findThread(threadId);
  return t ? t->eventCount : 0;
}

int winsimQueuedMessageCount(DWORD threadId) {
  Thread *t = findThread(threadId);
  return t ? t->queueCount : 0;
}

void winsimHangThread(DWORD threadId, BOOL hung) {
  Thread *t = findThread(threadId);
  if (t) t->hung = hung != FALSE;
}

}  // extern "C"
