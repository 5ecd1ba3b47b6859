// The WH_GETMESSAGE hook procedure: a wheel or scroll message retrieved
// between a middle press and its release spoils the gesture (the user
// scrolled with the button held); and a mouse message whose mouse hook call
// the system ran in the daemon is decided here, in the program that
// retrieves it.
#include "vorn.h"

#include <windows.h>

#include "config/loader_state.h"
#include "hooks/button_gesture.h"
#include "hooks/gesture.h"
#include "hooks/hook_state.h"
#include "hooks/marshalled_messages.h"
#include "hooks/mouse_decision.h"

namespace {

// Where the wheel message was never registered its identifier stays 0, and
// WM_NULL (also 0) is no wheel roll: it must not spoil the gesture.
int isScrollMessage(UINT message) {
  if (wheelMessage != 0 && message == wheelMessage) return 1;
  return message == WM_VSCROLL || message == WM_HSCROLL;
}

int isMouseMessage(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The mouse hook's view of a retrieved message: the non-client messages
// carry the hit-test code in wParam's low word; the client-area ones are
// in the client area. The extra buttons' messages name their button in
// wParam's high word, where the hook finds it in mouseData's.
MOUSEHOOKSTRUCTEX describedAsMouseHookSees(const MSG *msg) {
  MOUSEHOOKSTRUCTEX mouse;
  mouse.pt = msg->pt;
  mouse.hwnd = msg->hwnd;
  mouse.wHitTestCode = msg->message < WM_MOUSEFIRST ? LOWORD(msg->wParam) : (UINT)HTCLIENT;
  mouse.dwExtraInfo = 0;
  mouse.mouseData = (DWORD)msg->wParam;
  return mouse;
}

// The verdict as the mouse hook would have carried it out, as far as it
// still can be: the rest of the mouse chain has run already, so a message
// let through goes on (1 and 3) and any other is discarded by turning it
// into WM_NULL, which every window ignores.
void decideMarshalledMessage(MSG *msg) {
  MOUSEHOOKSTRUCTEX mouse = describedAsMouseHookSees(msg);
  LRESULT verdict = decideMouseMessage(msg->message, &mouse);
  if (verdict != MA_ACTIVATE && verdict != MA_NOACTIVATE) msg->message = WM_NULL;
}

}  // namespace

// A message that is only peeked at is decided when it is removed.
extern "C" LRESULT CALLBACK msgHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (imageHeader != NULL && code == HC_ACTION) {
    MSG *msg = (MSG *)lParam;
    if (isScrollMessage(msg->message)) {
      spoilMiddleGesture();
      spoilButtonGesture();
    } else if (wParam == PM_REMOVE && isMouseMessage(msg->message) &&
               takeMarshalledMessage(msg->message, msg->hwnd)) {
      decideMarshalledMessage(msg);
    }
  }
  return CallNextHookEx(getMessageHook, code, wParam, lParam);
}
