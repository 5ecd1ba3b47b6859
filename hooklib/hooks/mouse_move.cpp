// Mouse moves: the most frequent message of all, seen in every process.
// A move finds no click target and records no point; it asks the drag
// metrics only while a MoveProtect option is on, and windows and the
// tracking setting only while masking is on.
#include "hooks/mouse_move.h"

#include <windows.h>

#include <stdint.h>

#include "config/loader_state.h"
#include "hooks/button_gesture.h"
#include "hooks/gesture.h"
#include "hooks/hook_state.h"
#include "hooks/left_release.h"
#include "hooks/xmouse_mask.h"

namespace {

// Coordinates differ as signed 32-bit numbers do, wrapping as the machine
// does rather than overflowing.
int32_t difference(LONG a, LONG b) { return (int32_t)((uint32_t)a - (uint32_t)b); }

// Strictly beyond the drag distance in either direction of either axis.
// The metrics are asked each time: the user may change them at any moment.
int movedBeyondDragDistance(POINT pt) {
  int dragX = GetSystemMetrics(SM_CXDRAG);
  if (difference(pt.x, lastPoint.x) > dragX || difference(lastPoint.x, pt.x) > dragX) return 1;
  int dragY = GetSystemMetrics(SM_CYDRAG);
  return difference(pt.y, lastPoint.y) > dragY || difference(lastPoint.y, pt.y) > dragY;
}

// Distances are measured from the last message that was not a move: the
// press itself, typically.
void protectAgainstMoves(POINT pt) {
  if (!mbuttonUpMoveProtect && !lbuttonUpMoveProtect) return;
  if (!movedBeyondDragDistance(pt)) return;
  if (mbuttonUpMoveProtect) {
    spoilMiddleGesture();
    spoilButtonGesture();
  }
  if (lbuttonUpMoveProtect) disarmLeftRelease();
}

}  // namespace

LRESULT handleMove(const MouseEvent *event) {
  protectAgainstMoves(event->hook->pt);
  if (!maskXmouseOnMove) return MA_ACTIVATE;
  return maskFocusFollowsMouse(event->hook);
}
