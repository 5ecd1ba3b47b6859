#include "hooks/xmouse_mask.h"

#include <windows.h>

#include "config/image_access.h"
#include "hooks/active_tracking.h"
#include "hooks/rule_evaluation.h"
#include "hooks/shared_state.h"
#include "windows/navigation.h"

namespace {

// One normal window down from the last activated window and one back up:
// the window itself when it is a normal window with a normal window below.
HWND lastActivatedSettled(void) {
  return nextNormalWindow(nextNormalWindow(lastActivatedWindow, GW_HWNDNEXT), GW_HWNDPREV);
}

// The first move after the foreground changed decides whether to hold
// focus-follows-mouse off: it does when the newly active window is settled
// in the z-order and the pointer rests on another window, which tracking
// would otherwise activate at once.
void updateActivationHold(HWND pointerTarget) {
  if (foregroundChanged) {
    foregroundChanged = 0;
    if (lastActivatedSettled() != lastActivatedWindow) {
      activationHold = 0;
    } else {
      activationHold = pointerTarget != lastActivatedWindow;
    }
  } else if (activationHold && pointerTarget == GetForegroundWindow()) {
    activationHold = 0;  // the pointer has reached the activated window
  }
}

int isUnmasked(ImageOffset matchOffset, const MOUSEHOOKSTRUCT *m, HWND target, HWND parent) {
  if (matchOffset == NO_OFFSET) return 1;
  if (!matchWindow(matchOffset, m->hwnd, target, parent, (int)m->wHitTestCode)) return 1;
  return isTopOfZOrder(target) != 0;
}

}  // namespace

LRESULT maskFocusFollowsMouse(const MOUSEHOOKSTRUCT *mouseHookStruct) {
  updateActivationHold(clickTarget(mouseHookStruct->hwnd));
  return xmouseMaskCheck(imageField(HEADER_MASKXMOUSE_MATCH), mouseHookStruct);
}

LRESULT xmouseMaskCheck(ImageOffset matchOffset, const MOUSEHOOKSTRUCT *mouseHookStruct) {
  if (!maskXmouseOnMove) return MA_ACTIVATE;
  HWND parent = rootParent(mouseHookStruct->hwnd);
  HWND target = clickTarget(mouseHookStruct->hwnd);
  if (!activationHold && isUnmasked(matchOffset, mouseHookStruct, target, parent)) {
    switchTrackingOnIfOff();
    return MA_ACTIVATE;
  }
  if (xmouseMode == XMOUSE_SYSTEM_TRACKING) switchTrackingOffIfOn();
  return MA_NOACTIVATE;
}
