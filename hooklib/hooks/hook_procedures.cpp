// Hook procedures. Until the dispatcher is built they pass every message on.
#include <windows.h>

#include "hooks/shared_state.h"
#include "vorn.h"

extern "C" LRESULT CALLBACK mouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(mouseHook, code, wParam, lParam);
}

extern "C" LRESULT CALLBACK msgHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(getMessageHook, code, wParam, lParam);
}

extern "C" LRESULT CALLBACK cwpretHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(callWndProcRetHook, code, wParam, lParam);
}
