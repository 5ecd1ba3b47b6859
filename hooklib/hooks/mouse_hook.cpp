// The WH_MOUSE hook procedure: keeps the gesture state, has the message's
// rule list decide a HookVerdict, and turns the verdict into the hook's
// result (pass the message on, or discard it).
#include "vorn.h"

#include <windows.h>

#include "config/loader_state.h"
#include "hooks/button_messages.h"
#include "hooks/gesture.h"
#include "hooks/hook_state.h"
#include "hooks/marshalled_messages.h"
#include "hooks/mouse_decision.h"
#include "hooks/mouse_move.h"
#include "windows/navigation.h"

namespace {

int isMove(UINT message) { return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE; }

LRESULT dispatchMessage(const MouseEvent *event) {
  switch (event->message) {
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      return handleLeftPress(event);
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
      return handleLeftRelease(event);
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
      return handleLeftDoubleClick(event);
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      return handleRightPress(event);
    case WM_MBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      return handleMiddlePress(event);
    case WM_MBUTTONUP:
    case WM_NCMBUTTONUP:
      return handleMiddleRelease(event);
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      return handleMove(event);
    default:  // the wheel, right releases, other double clicks, extra buttons
      return handleOtherMessage(event);
  }
}

int isLeftOrRightPress(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN || message == WM_RBUTTONDOWN ||
         message == WM_NCRBUTTONDOWN;
}

// Simulated focus-follows-mouse never activates on a click, so a left or
// right press that goes on to the window brings it forward instead.
void raiseIfSimulatingActivation(const MouseEvent *event, LRESULT verdict) {
  if (xmouseMode != XMOUSE_SIMULATED || !isLeftOrRightPress(event->message)) return;
  if (verdict == MA_ACTIVATE || verdict == MA_ACTIVATEANDEAT) raiseWithoutActivating(event->target);
}

// Where the system cannot load this library into the program that
// receives a click (the other bitness, a Store app), it runs the mouse hook
// in the process that installed it, on its thread, and the chain goes on
// from there. Here, in the daemon, such a call is only noted and passed on
// at once: the program's own get-message hook decides the click in the
// program (hooks/marshalled_messages.h), or, where this library cannot run
// at all, the other pair or nobody does. Only the installing process
// receives such calls: everywhere else the first test decides.
int isMarshalledCall(UINT message, HWND window) {
  if (!hooksInstalledHere) return 0;
  DWORD owner = 0;
  DWORD threadId = GetWindowThreadProcessId(window, &owner);
  if (owner == GetCurrentProcessId()) return 0;
  noteMarshalledMessage(threadId, message, window);
  ++marshalledCallCount;
  return 1;
}

// A verdict outside 1 to 4 (a window may answer anything to
// WM_MOUSEACTIVATE, 0 included) discards the message.
LRESULT hookResult(LRESULT verdict, int code, WPARAM wParam, LPARAM lParam) {
  switch (verdict) {
    case MA_ACTIVATE:
      return CallNextHookEx(mouseHook, code, wParam, lParam);
    case MA_ACTIVATEANDEAT:
      CallNextHookEx(mouseHook, code, wParam, lParam);
      return 1;
    case MA_NOACTIVATE:
      return 0;
    default:
      return 1;
  }
}

}  // namespace

LRESULT decideMouseMessage(UINT message, const MOUSEHOOKSTRUCT *mouse) {
  MouseEvent event;
  event.message = message;
  event.hook = mouse;
  event.target = NULL;
  if (!isMove(message)) {
    event.target = clickTarget(mouse->hwnd);
    lastPoint = mouse->pt;
  }
  LRESULT verdict = dispatchMessage(&event);
  raiseIfSimulatingActivation(&event, verdict);
  return verdict;
}

// A message that is only peeked at (HC_NOREMOVE) will be seen again when it
// is removed: it changes nothing now.
extern "C" LRESULT CALLBACK mouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  const MOUSEHOOKSTRUCT *mouse = (const MOUSEHOOKSTRUCT *)lParam;
  if (code < 0 || code == HC_NOREMOVE || isMarshalledCall(LOWORD(wParam), mouse->hwnd) ||
      imageHeader == NULL) {
    return CallNextHookEx(mouseHook, code, wParam, lParam);
  }
  return hookResult(decideMouseMessage(LOWORD(wParam), mouse), code, wParam, lParam);
}
