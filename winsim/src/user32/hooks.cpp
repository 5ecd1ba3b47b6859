// Windows hooks: installation, the chains winsim runs, and CallNextHookEx,
// which calls the next hook of the running chain or, at its end, returns the
// result a test set. A thread already inside a chain of one kind does not
// enter it again.
//
// Which process a global hook runs in follows Microsoft's documentation of
// SetWindowsHookEx (Remarks):
//   "SetWindowsHookEx can be used to inject a DLL into another process. A
//   32-bit DLL cannot be injected into a 64-bit process, and a 64-bit DLL
//   cannot be injected into a 32-bit process."
//   "If a 32-bit application installs a global hook on 64-bit Windows, the
//   32-bit hook is injected into each 32-bit process (the usual security
//   boundaries apply). In a 64-bit process, the threads are still marked as
//   'hooked.' However, because a 32-bit application must run the hook code,
//   the system executes the hook in the hooking app's context;
//   specifically, on the thread that called SetWindowsHookEx."
//   "If dwThreadId is zero, then window hook DLLs are not loaded in-process
//   for the Windows Store app processes and the Windows Runtime broker
//   process unless they are installed by either UIAccess processes
//   (accessibility tools). The notification is delivered on the installer's
//   thread for these hooks: WH_JOURNALPLAYBACK, WH_JOURNALRECORD,
//   WH_KEYBOARD, WH_KEYBOARD_LL, WH_MOUSE, WH_MOUSE_LL."
// and the Hooks overview: "The SetWindowsHookEx function always installs a
// hook procedure at the beginning of a hook chain."
// So one chain per hook type, newest first. A global hook whose library
// cannot be loaded into the process the chain is running for (the other
// bitness, or a Store app) runs on its installer's thread, when it is of a
// kind the system delivers there (the list above); CallNextHookEx, called
// there, goes on with the chain for the installer's process, so the next
// hook is judged against that process. The documentation does not say in
// so many words what happens to the other kinds (WH_GETMESSAGE,
// WH_CALLWNDPROC, WH_CALLWNDPROCRET, WH_CBT) of the other bitness; as is
// widely reported, they are not called at all, and so it is here: such a
// hook is passed over and the chain goes on. Wine 8 differs (it ends the
// chain at a library a program cannot load); winsim follows Windows.
#include <windows.h>

#include <limits.h>

#include "desktop_state.h"
#include "records.h"

namespace winsim {

namespace {

constexpr int MAX_CHAIN_DEPTH = 16;
constexpr uintptr_t HOOK_HANDLE_BASE = 0x40000;

struct ChainFrame {
  int type;
  DWORD callerThreadId;   // the thread the chain runs for (whose hooks apply)
  DWORD runningThreadId;  // the thread running the current hook
  DWORD processId;        // the process the next hook is judged against
  unsigned serial;        // the hook running now
};

ChainFrame frames[MAX_CHAIN_DEPTH];
int depth;

bool isSupported(int type) {
  return type == WH_MOUSE || type == WH_GETMESSAGE || type == WH_CALLWNDPROC ||
         type == WH_CALLWNDPROCRET || type == WH_MOUSE_LL;
}

// The kinds the system runs on the installer's thread when it cannot load
// their library where the event happens (winsim knows two of them).
bool isDeliveredOnInstallerThread(int type) { return type == WH_MOUSE || type == WH_MOUSE_LL; }

bool applies(const Hook &h, int type, DWORD threadId) {
  return h.inUse && h.type == type && (h.threadId == 0 || h.threadId == threadId);
}

// A hook's library has its installer's bitness. A thread hook runs in the
// installer's own process or one it could load the library into; global
// hooks are never loaded into a Store app.
bool libraryLoadsInto(const Hook &h, DWORD processId) {
  if (h.type == WH_MOUSE_LL) return h.installerProcessId == processId;
  if (h.threadId == 0 && isStoreApp(processId)) return false;
  return isOtherBitness(h.installerProcessId) == isOtherBitness(processId);
}

// The newest hook of the chain older than `belowSerial`.
Hook *nextHook(int type, DWORD threadId, unsigned belowSerial) {
  Hook *best = nullptr;
  for (Hook &h : desktop().hooks) {
    if (!applies(h, type, threadId) || h.serial >= belowSerial) continue;
    if (!best || h.serial > best->serial) best = &h;
  }
  return best;
}

bool insideChain(int type, DWORD threadId) {
  for (int i = 0; i < depth; ++i) {
    if (frames[i].type == type && frames[i].callerThreadId == threadId) return true;
  }
  return false;
}

ChainFrame *innermostFrame(DWORD runningThreadId) {
  for (int i = depth - 1; i >= 0; --i) {
    if (frames[i].runningThreadId == runningThreadId) return &frames[i];
  }
  return nullptr;
}

Hook *findHook(HHOOK handle) {
  for (Hook &h : desktop().hooks) {
    if (h.inUse && h.handle == handle) return &h;
  }
  return nullptr;
}

// Calls `h` where the system would: in the chain's thread, or marshalled
// to its installer's, from where the chain then goes on.
LRESULT callHook(ChainFrame &frame, const Hook &h, int code, WPARAM wParam, LPARAM lParam) {
  ChainFrame saved = frame;
  frame.serial = h.serial;
  LRESULT result;
  if (libraryLoadsInto(h, frame.processId)) {
    result = h.proc(code, wParam, lParam);
  } else {
    AsThread installer(h.installerThreadId);
    frame.runningThreadId = h.installerThreadId;
    frame.processId = h.installerProcessId;
    result = h.proc(code, wParam, lParam);
  }
  frame = saved;
  return result;
}

// Whether `h` is called at all for the process the chain runs for.
bool isCalled(const ChainFrame &frame, const Hook &h) {
  if (libraryLoadsInto(h, frame.processId)) return true;
  return isDeliveredOnInstallerThread(h.type) && findThread(h.installerThreadId) != nullptr;
}

// The next hook below `belowSerial` that is called, and its answer;
// `noneLeft` when the chain has ended.
LRESULT continueChain(ChainFrame &frame, unsigned belowSerial, int code, WPARAM wParam,
                      LPARAM lParam, LRESULT noneLeft) {
  for (Hook *h = nextHook(frame.type, frame.callerThreadId, belowSerial); h;
       h = nextHook(frame.type, frame.callerThreadId, h->serial)) {
    if (isCalled(frame, *h)) return callHook(frame, *h, code, wParam, lParam);
  }
  return noneLeft;
}

}  // namespace

LRESULT runHookChain(int type, int code, WPARAM wParam, LPARAM lParam) {
  DWORD threadId = GetCurrentThreadId();
  if (depth == MAX_CHAIN_DEPTH || insideChain(type, threadId)) return 0;
  frames[depth++] = {type, threadId, threadId, GetCurrentProcessId(), UINT_MAX};
  LRESULT result = continueChain(frames[depth - 1], UINT_MAX, code, wParam, lParam, 0);
  --depth;
  return result;
}

bool isOtherBitness(DWORD processId) {
  for (DWORD other : desktop().otherBitnessProcesses) {
    if (other != 0 && other == processId) return true;
  }
  return false;
}

bool isStoreApp(DWORD processId) {
  for (DWORD app : desktop().storeAppProcesses) {
    if (app != 0 && app == processId) return true;
  }
  return false;
}

}  // namespace winsim

using namespace winsim;

extern "C" {

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId) {
  Desktop &d = desktop();
  if (d.failSetHook) {
    SetLastError(ERROR_ACCESS_DENIED);
    return NULL;
  }
  if (!isSupported(idHook) || !proc) {
    SetLastError(ERROR_INVALID_HOOK_FILTER);
    return NULL;
  }
  if (threadId && !findThread(threadId)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  for (Hook &h : d.hooks) {
    if (h.inUse) continue;
    unsigned serial = d.nextHookSerial++;
    h = {true,   idHook, proc, module, threadId, serial, (HHOOK)(HOOK_HANDLE_BASE + serial * 4),
         GetCurrentThreadId(), GetCurrentProcessId()};
    return h.handle;
  }
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return NULL;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hook) {
  if (desktop().failUnhook) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  Hook *h = findHook(hook);
  if (!h) {
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
  }
  h->inUse = false;
  return TRUE;
}

LRESULT WINAPI CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  recordCallNextHook(hook, code, wParam, lParam);
  ChainFrame *frame = innermostFrame(GetCurrentThreadId());
  LRESULT end = desktop().callNextHookResult;
  if (!frame) return end;
  return continueChain(*frame, frame->serial, code, wParam, lParam, end);
}

void winsimSetCallNextHookResult(LRESULT result) { desktop().callNextHookResult = result; }

void winsimFailSetWindowsHook(BOOL fail) { desktop().failSetHook = fail != FALSE; }

void winsimFailUnhookWindowsHook(BOOL fail) { desktop().failUnhook = fail != FALSE; }

}  // extern "C"

namespace {

void markProcess(DWORD *slots, DWORD processId, BOOL marked) {
  for (int i = 0; i < MAX_THREADS; ++i) {
    if (slots[i] == processId) slots[i] = 0;
  }
  if (!marked || processId == 0) return;
  for (int i = 0; i < MAX_THREADS; ++i) {
    if (slots[i] == 0) {
      slots[i] = processId;
      return;
    }
  }
}

}  // namespace

extern "C" {

void winsimSetProcessOfOtherBitness(DWORD processId, BOOL other) {
  markProcess(desktop().otherBitnessProcesses, processId, other);
}

void winsimSetStoreAppProcess(DWORD processId, BOOL storeApp) {
  markProcess(desktop().storeAppProcesses, processId, storeApp);
}

int winsimInstalledHookCount(int idHook) {
  int count = 0;
  for (const Hook &h : desktop().hooks) {
    if (h.inUse && h.type == idHook) ++count;
  }
  return count;
}

}  // extern "C"
