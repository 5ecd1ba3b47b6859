#include "hooks/xmouse_mask.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/loader_state.h"
#include "hooks/active_tracking.h"
#include "hooks/hook_state.h"
#include "hooks/match_window.h"
#include "windows/last_activated_window.h"
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

int isUnmasked(ImageOffset matchOffset, const MOUSEHOOKSTRUCT *m, HWND target) {
  if (matchOffset == NO_OFFSET) return 1;
  HWND parent = rootParent(m->hwnd);
  if (!matchWindow(matchOffset, m->hwnd, target, parent, (int)m->wHitTestCode)) return 1;
  return isTopOfZOrder(target) != 0;
}

// xmouseMaskCheck for a pointer over the window whose click target
// `target` is already known.
LRESULT maskCheckForTarget(ImageOffset matchOffset, const MOUSEHOOKSTRUCT *m, HWND target) {
  if (!maskXmouseOnMove) return MA_ACTIVATE;
  if (!activationHold && isUnmasked(matchOffset, m, target)) {
    switchTrackingOnIfOff();
    return MA_ACTIVATE;
  }
  if (xmouseMode == XMOUSE_SYSTEM_TRACKING) switchTrackingOffIfOn();
  return MA_NOACTIVATE;
}

}  // namespace

void endActivationHold(void) { activationHold = 0; }

// The click target is found once per move: the activation hold and the
// mask test both need it.
LRESULT maskFocusFollowsMouse(const MOUSEHOOKSTRUCT *mouseHookStruct) {
  HWND target = clickTarget(mouseHookStruct->hwnd);
  updateActivationHold(target);
  return maskCheckForTarget(imageField(HEADER_MASKXMOUSE_MATCH), mouseHookStruct, target);
}

LRESULT xmouseMaskCheck(ImageOffset matchOffset, const MOUSEHOOKSTRUCT *mouseHookStruct) {
  return maskCheckForTarget(matchOffset, mouseHookStruct, clickTarget(mouseHookStruct->hwnd));
}
