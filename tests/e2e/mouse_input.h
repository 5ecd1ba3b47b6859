// Real mouse input, as a hand on the mouse makes it: SendInput with
// absolute coordinates on the virtual desktop.
//
// Under Wine's virtual desktop an injected move that changes the position
// warps the X pointer, and Wine then feeds X's idea of the position back as
// input of its own, a few milliseconds later. That echo can be where the
// pointer was before the move, and it can leave the system's cursor there
// for good, while GetCursorPos, which asks X once its own record is older
// than 100 ms, reports the new position; a button pressed without a
// position then lands at the old one. So the pointer is first brought to
// the gesture's point and kept there until X has it, after which every
// echo is of that point, and every event of the gesture carries the point
// itself.
//
// A whole gesture goes into one SendInput call, so nothing of the test can
// come between its events and no button is left pressed when a scenario
// fails half-way. Each gesture ends with a move onto the marker window
// (test_windows.h): input is handled in the order it was made, so once the
// marker has seen that move, the gesture's button messages have all been
// handled, whatever they did to the window that was clicked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

enum MouseButton { LEFT_BUTTON, MIDDLE_BUTTON, RIGHT_BUTTON };

// How many of the mouse moves made at a point the marker window has
// received so far.
typedef std::function<int(POINT)> MarkerMoveCount;

// The marker window that gestures end on; set before the first gesture.
// A marker of this thread is watched through pointerMovesHeardAt()
// (test_windows.h).
void useGestureMarker(HWND marker);
// A marker of another process or thread: its input queue is not this
// thread's, so only that queue's owner can tell that a gesture made over
// its windows has been handled, and `movesHeardAt` asks it.
void useGestureMarker(HWND marker, MarkerMoveCount movesHeardAt);

// The gestures, made at `point`; each returns once the marker has seen
// the final move (false if it has not within the timeout).
bool clickAt(POINT point, MouseButton button);
// One click of each button in turn, all at `point`: no button is pressed
// twice, so the system makes no double click of them.
bool clicksAt(POINT point, const std::vector<MouseButton> &buttons);
bool doubleClickAt(POINT point, MouseButton button);
// Press, one notch of the wheel away from the user, release.
bool clickWithWheelRollAt(POINT point, MouseButton button);

// Moves the pointer to `point`, no button pressed, and waits until the
// system has it there for good (false if it does not settle).
bool placePointerAt(POINT point);

// What went wrong with the last gesture or move that failed.
std::string lastInputProblem();

}  // namespace e2e
