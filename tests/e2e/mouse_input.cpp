#include "mouse_input.h"

#include <windows.h>

#include <stdlib.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "message_pump.h"
#include "test_windows.h"

namespace e2e {

namespace {

// Longer than the 100 ms for which Wine trusts its own record of the
// cursor position: after that GetCursorPos reports the X pointer's.
const DWORD SETTLE_MS = 150;
const int MOVE_ATTEMPTS = 3;
// How long a gesture's final move may take to reach the marker window, and
// how often it is made in all.
const DWORD MARKER_WAIT_MS = 1500;
const int MARKER_ATTEMPTS = 3;

HWND gestureMarker = NULL;
MarkerMoveCount markerMovesHeardAt = pointerMovesHeardAt;
int gesturesSent = 0;
POINT lastGesturePoint = {-1000, -1000};
DWORD lastGestureEnd = 0;
std::string inputProblem;

std::string describePoint(POINT point) {
  return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

bool samePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

INPUT mouseInput(DWORD flags, POINT point) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  // Absolute coordinates map the screen onto 0..65535.
  input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  return input;
}

INPUT moveTo(POINT point) { return mouseInput(0, point); }

INPUT buttonDown(MouseButton button, POINT point) {
  static const DWORD DOWN[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_RIGHTDOWN};
  return mouseInput(DOWN[button], point);
}

INPUT buttonUp(MouseButton button, POINT point) {
  static const DWORD UP[] = {MOUSEEVENTF_LEFTUP, MOUSEEVENTF_MIDDLEUP, MOUSEEVENTF_RIGHTUP};
  return mouseInput(UP[button], point);
}

INPUT wheelNotch(POINT point) {
  INPUT input = mouseInput(MOUSEEVENTF_WHEEL, point);
  input.mi.mouseData = WHEEL_DELTA;
  return input;
}

bool sendAll(std::vector<INPUT> inputs) {
  return SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// True once GetCursorPos, which then asks X, has reported `point` for
// longer than SETTLE_MS.
bool waitUntilXAgrees(POINT point) {
  DWORD arrived = 0;
  bool there = false;
  return pumpUntil([&] {
    POINT now;
    if (!GetCursorPos(&now) || !samePoint(now, point)) {
      there = false;
      return false;
    }
    if (!there) arrived = GetTickCount();
    there = true;
    return GetTickCount() - arrived > SETTLE_MS;
  });
}

// Two points of the marker window, used in turn, so that every marker
// move really moves the pointer and is told from the one before.
POINT nextMarkerPoint() {
  RECT rect;
  GetWindowRect(gestureMarker, &rect);
  int inset = (gesturesSent++ % 2) ? 4 : 10;
  POINT point = {rect.left + inset, rect.top + inset};
  return point;
}

// Moves the pointer to `point` and pumps until X has it there.
//
// A move to where the system already has the pointer warps nothing, and an
// echo can have put it there while X still has it elsewhere: a retry goes
// by a point next to it first.
bool movePointerTo(POINT point) {
  POINT beside = {point.x + 2, point.y + 2};
  for (int attempt = 0; attempt < MOVE_ATTEMPTS; ++attempt) {
    std::vector<INPUT> moves;
    if (attempt > 0) moves.push_back(moveTo(beside));
    moves.push_back(moveTo(point));
    if (!sendAll(moves)) break;
    if (waitUntilXAgrees(point)) return true;
  }
  POINT now = {-1, -1};
  GetCursorPos(&now);
  inputProblem =
      "the pointer did not settle at " + describePoint(point) + "; it is at " + describePoint(now);
  return false;
}

bool nearLastGesture(POINT point) {
  return abs(point.x - lastGesturePoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
         abs(point.y - lastGesturePoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
}

// A press near the last gesture's point within the double-click time would
// make the system pair the two into a double click: wait that time out.
bool waitOutDoubleClickTime(POINT point) {
  if (!nearLastGesture(point)) return true;
  return pumpUntil([] { return GetTickCount() - lastGestureEnd > GetDoubleClickTime(); });
}

bool sendGestureAt(POINT point, std::vector<INPUT> gesture) {
  if (gestureMarker == NULL) {
    inputProblem = "no marker window";
    return false;
  }
  if (!waitOutDoubleClickTime(point) || !movePointerTo(point)) return false;
  POINT marker = nextMarkerPoint();
  int markerMovesBefore = markerMovesHeardAt(marker);
  gesture.push_back(moveTo(marker));
  if (!sendAll(gesture)) {
    inputProblem = "SendInput refused the gesture";
    return false;
  }
  bool handled = false;
  for (int attempt = 1; !handled; ++attempt) {
    handled =
        pumpUntil([&] { return markerMovesHeardAt(marker) > markerMovesBefore; }, MARKER_WAIT_MS);
    if (handled || attempt == MARKER_ATTEMPTS) break;
    // An echo of the gesture's point can overtake the final move while that
    // still waits in the queue of the thread it is for: Wine merges a move
    // into the one queued before it, and the marker never sees it. Any later
    // move onto the marker still comes after the gesture's buttons.
    marker = nextMarkerPoint();
    markerMovesBefore = markerMovesHeardAt(marker);
    if (!sendAll({moveTo(marker)})) break;
  }
  if (!handled) inputProblem = "the gesture at " + describePoint(point) + " was not handled";
  lastGesturePoint = point;
  lastGestureEnd = GetTickCount();
  return handled;
}

}  // namespace

std::string lastInputProblem() { return inputProblem; }

bool placePointerAt(POINT point) { return movePointerTo(point); }

void useGestureMarker(HWND marker) { useGestureMarker(marker, pointerMovesHeardAt); }

void useGestureMarker(HWND marker, MarkerMoveCount movesHeardAt) {
  gestureMarker = marker;
  markerMovesHeardAt = std::move(movesHeardAt);
}

bool clickAt(POINT point, MouseButton button) {
  return sendGestureAt(point, {buttonDown(button, point), buttonUp(button, point)});
}

bool clicksAt(POINT point, const std::vector<MouseButton> &buttons) {
  std::vector<INPUT> gesture;
  for (MouseButton button : buttons) {
    gesture.push_back(buttonDown(button, point));
    gesture.push_back(buttonUp(button, point));
  }
  return sendGestureAt(point, gesture);
}

bool doubleClickAt(POINT point, MouseButton button) {
  return sendGestureAt(point, {buttonDown(button, point), buttonUp(button, point),
                               buttonDown(button, point), buttonUp(button, point)});
}

bool clickWithWheelRollAt(POINT point, MouseButton button) {
  return sendGestureAt(point,
                       {buttonDown(button, point), wheelNotch(point), buttonUp(button, point)});
}

}  // namespace e2e
