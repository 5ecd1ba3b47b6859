// Windows hooks: installation, the chains winsim runs (newest hook first,
// thread hooks and global hooks alike), and CallNextHookEx, which calls the
// next hook of the running chain or, at its end, returns the result a test
// set. A thread already inside a chain of one kind does not enter it again.
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
  DWORD threadId;
  unsigned serial;  // the hook running now
};

ChainFrame frames[MAX_CHAIN_DEPTH];
int depth;

bool isSupported(int type) {
  return type == WH_MOUSE || type == WH_GETMESSAGE || type == WH_CALLWNDPROC ||
         type == WH_CALLWNDPROCRET || type == WH_MOUSE_LL;
}

bool applies(const Hook &h, int type, DWORD threadId) {
  return h.inUse && h.type == type && (h.threadId == 0 || h.threadId == threadId);
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
    if (frames[i].type == type && frames[i].threadId == threadId) return true;
  }
  return false;
}

ChainFrame *innermostFrame(DWORD threadId) {
  for (int i = depth - 1; i >= 0; --i) {
    if (frames[i].threadId == threadId) return &frames[i];
  }
  return nullptr;
}

Hook *findHook(HHOOK handle) {
  for (Hook &h : desktop().hooks) {
    if (h.inUse && h.handle == handle) return &h;
  }
  return nullptr;
}

}  // namespace

LRESULT runHookChain(int type, int code, WPARAM wParam, LPARAM lParam) {
  DWORD threadId = GetCurrentThreadId();
  // The system loads no library of ours into a program of the other
  // bitness: nothing of ours runs on its threads.
  if (isOtherBitness(GetCurrentProcessId())) return 0;
  if (depth == MAX_CHAIN_DEPTH || insideChain(type, threadId)) return 0;
  Hook *first = nextHook(type, threadId, UINT_MAX);
  if (!first) return 0;
  frames[depth++] = {type, threadId, first->serial};
  LRESULT result = first->proc(code, wParam, lParam);
  --depth;
  return result;
}

bool isOtherBitness(DWORD processId) {
  for (DWORD other : desktop().otherBitnessProcesses) {
    if (other != 0 && other == processId) return true;
  }
  return false;
}

DWORD newestGlobalMouseHookInstaller() {
  Hook *newest = nextHook(WH_MOUSE, 0, UINT_MAX);  // thread 0: global hooks alone
  return newest ? newest->installerThreadId : 0;
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
         GetCurrentThreadId()};
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
  DWORD threadId = GetCurrentThreadId();
  ChainFrame *frame = innermostFrame(threadId);
  Hook *next = frame ? nextHook(frame->type, threadId, frame->serial) : nullptr;
  if (!next) return desktop().callNextHookResult;
  unsigned saved = frame->serial;
  frame->serial = next->serial;
  LRESULT result = next->proc(code, wParam, lParam);
  frame->serial = saved;
  return result;
}

void winsimSetCallNextHookResult(LRESULT result) { desktop().callNextHookResult = result; }

void winsimFailSetWindowsHook(BOOL fail) { desktop().failSetHook = fail != FALSE; }

void winsimFailUnhookWindowsHook(BOOL fail) { desktop().failUnhook = fail != FALSE; }

void winsimSetProcessOfOtherBitness(DWORD processId, BOOL other) {
  DWORD *slots = desktop().otherBitnessProcesses;
  for (int i = 0; i < MAX_THREADS; ++i) {
    if (slots[i] == processId) slots[i] = 0;
  }
  if (!other || processId == 0) return;
  for (int i = 0; i < MAX_THREADS; ++i) {
    if (slots[i] == 0) {
      slots[i] = processId;
      return;
    }
  }
}

int winsimInstalledHookCount(int idHook) {
  int count = 0;
  for (const Hook &h : desktop().hooks) {
    if (h.inUse && h.type == idHook) ++count;
  }
  return count;
}

}  // extern "C"
