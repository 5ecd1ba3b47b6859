// The WH_CALLWNDPROCRET hook procedure: records the foreground window at
// each activation and notes when the foreground window was activated on
// top or moved, for the foreground tests and focus-follows-mouse masking.
// It needs no configuration image.
#include "vorn.h"

#include <windows.h>

#include "hooks/activation_record.h"
#include "hooks/hook_state.h"
#include "windows/navigation.h"

namespace {

// Every WM_ACTIVATE, a deactivation too, refreshes the record.
void noteActivation(HWND window) {
  HWND foreground = recordActivatedWindow();
  if (foreground == NULL) return;
  if (window == foreground && isTopOfZOrder(foreground)) foregroundChanged = 1;
}

void notePositionChange(HWND window) {
  if (GetForegroundWindow() == window) foregroundChanged = 1;
}

}  // namespace

extern "C" LRESULT CALLBACK cwpretHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const CWPRETSTRUCT *call = (const CWPRETSTRUCT *)lParam;
    if (call->message == WM_ACTIVATE) noteActivation(call->hwnd);
    if (call->message == WM_WINDOWPOSCHANGED) notePositionChange(call->hwnd);
  }
  return CallNextHookEx(callWndProcRetHook, code, wParam, lParam);
}
