// The WH_MOUSE hook procedure: keeps the gesture state, has the message's
// rule list decide a HookVerdict, and turns the verdict into the hook's
// result (pass the message on, or discard it).
#include "vorn.h"

#include <windows.h>

#include "config/image_publish.h"
#include "config/loader_state.h"
#include "hooks/button_messages.h"
#include "hooks/gesture.h"
#include "hooks/hook_state.h"
#include "hooks/mouse_move.h"
#include "system/process_bitness.h"
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

// The system cannot load a hook library into a program of the other
// bitness (64-bit beside 32-bit): it runs the mouse hook for that
// program's windows in the process that installed the hook instead, on its
// thread. The other pair handles those windows in their own process, so
// here the call is passed on at once, or the click would be handled twice.
// Only the installing process receives such calls: everywhere else the
// first test decides.
//
// A call for a window of a program of this process's own bitness comes
// here the other way round: the other pair's hook, newer in the chain, was
// marshalled to its daemon, which passed it on, and the chain goes on from
// there, where this library cannot run either. That program's own copy of
// the library never saw the click, so it is handled here.
int isMarshalledCall(HWND window) {
  if (!hooksInstalledHere) return 0;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == GetCurrentProcessId() || processSharesThisBitness(owner)) return 0;
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

// A message that is only peeked at (HC_NOREMOVE) will be seen again when it
// is removed: it changes nothing now.
extern "C" LRESULT CALLBACK mouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0 || code == HC_NOREMOVE || imageHeader == NULL ||
      isMarshalledCall(((const MOUSEHOOKSTRUCT *)lParam)->hwnd)) {
    return CallNextHookEx(mouseHook, code, wParam, lParam);
  }
  MouseEvent event;
  event.generation = followPublishedImage();
  event.message = LOWORD(wParam);
  event.hook = (const MOUSEHOOKSTRUCT *)lParam;
  event.target = NULL;
  if (!isMove(event.message)) {
    event.target = clickTarget(event.hook->hwnd);
    lastPoint = event.hook->pt;
  }
  LRESULT verdict = dispatchMessage(&event);
  raiseIfSimulatingActivation(&event, verdict);
  return hookResult(verdict, code, wParam, lParam);
}
