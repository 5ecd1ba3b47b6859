// The WH_GETMESSAGE hook procedure: a wheel or scroll message retrieved
// between a middle press and its release spoils the gesture (the user
// scrolled with the button held).
#include "vorn.h"

#include <windows.h>

#include "config/loader_state.h"
#include "hooks/gesture.h"
#include "hooks/hook_state.h"

namespace {

// Where the wheel message was never registered its identifier stays 0, and
// WM_NULL (also 0) is no wheel roll: it must not spoil the gesture.
int isScrollMessage(UINT message) {
  if (wheelMessage != 0 && message == wheelMessage) return 1;
  return message == WM_VSCROLL || message == WM_HSCROLL;
}

}  // namespace

extern "C" LRESULT CALLBACK msgHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (imageHeader != NULL && code == HC_ACTION) {
    if (isScrollMessage(((const MSG *)lParam)->message)) spoilMiddleGesture();
  }
  return CallNextHookEx(getMessageHook, code, wParam, lParam);
}
