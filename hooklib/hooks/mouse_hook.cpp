// The WH_MOUSE hook procedure: keeps the gesture state, has the message's
// rule list decide a HookVerdict, and turns the verdict into the hook's
// result (pass the message on, or discard it).
#include "vorn.h"

#include <windows.h>

#include "config/image_publish.h"
#include "config/loader_state.h"
#include "hooks/button_gesture.h"
#include "hooks/button_messages.h"
#include "hooks/gesture.h"
#include "hooks/hook_state.h"
#include "hooks/left_release.h"
#include "hooks/marshalled_messages.h"
#include "hooks/mouse_decision.h"
#include "hooks/mouse_move.h"
#include "hooks/xmouse_mask.h"
#include "windows/navigation.h"

namespace {

int isMove(UINT message) { return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE; }

// What a mouse message does besides running its handler. Each piece of
// gesture state changes only through its owner's transitions.
enum Effect {
  SPOILS_MIDDLE_GESTURE = 1,  // gesture.h
  ARMS_LEFT_RELEASE = 2,      // left_release.h
  DISARMS_LEFT_RELEASE = 4,
  ENDS_ACTIVATION_HOLD = 8,    // xmouse_mask.h
  SPOILS_BUTTON_GESTURE = 16,  // button_gesture.h
};

enum Handler {
  LEFT_PRESS,
  LEFT_RELEASE,
  LEFT_DOUBLE_CLICK,
  MIDDLE_PRESS,
  MIDDLE_RELEASE,
  MOVE,
  BUTTON_PRESS,  // the right and extra buttons' gesture
  BUTTON_RELEASE,
  LIST_EVENT,
};

// A button's client-area and non-client messages, each as its distance
// from the first message of its kind (WM_MOUSEFIRST, WM_NCMOUSEMOVE), and
// for the handlers that take one, the client-area event whose list they
// read (config/name_tables.h numbering).
struct MessageRow {
  unsigned char client;
  unsigned char nonClient;
  unsigned char handler;
  unsigned char effects;
  unsigned char event;
};

#define CLIENT_AND_NON_CLIENT(name) (WM_##name - WM_MOUSEFIRST), (WM_NC##name - WM_NCMOUSEMOVE)

const unsigned char SPOILS_GESTURES = SPOILS_MIDDLE_GESTURE | SPOILS_BUTTON_GESTURE;

// Another button pressed or double-clicked: the gestures and the hold end.
const unsigned char INTERRUPTS = SPOILS_GESTURES | DISARMS_LEFT_RELEASE | ENDS_ACTIVATION_HOLD;

// The wheel, other double clicks, the extra buttons: the gestures end, the
// hold stays.
const unsigned char OTHER_MESSAGE_EFFECTS = SPOILS_GESTURES | DISARMS_LEFT_RELEASE;

// A right or extra button's release: its own gesture is its handler's.
const unsigned char BUTTON_RELEASE_EFFECTS = SPOILS_MIDDLE_GESTURE | DISARMS_LEFT_RELEASE;

// Events by their number (config/name_tables.h).
#define CLAIMED(name) (HEADER_EVENT_SLOT_COUNT + CLAIMED_BIT_##name)
const unsigned char RBUTTONDOWN_EVENT = (HEADER_SLOT_RBUTTONDOWN - HEADER_SLOT_LBUTTONDOWN) / 4;

// The dispatcher: one row per mouse message, client and non-client alike,
// that has a handler of its own; moves, the most frequent, first. A double
// click is its button's second press; the extra buttons have no events of
// their own for it, so theirs is decided as a press.
const MessageRow MESSAGE_TABLE[] = {
    {CLIENT_AND_NON_CLIENT(MOUSEMOVE), MOVE, 0, 0},
    {CLIENT_AND_NON_CLIENT(LBUTTONDOWN), LEFT_PRESS,
     SPOILS_GESTURES | ARMS_LEFT_RELEASE | ENDS_ACTIVATION_HOLD, 0},
    {CLIENT_AND_NON_CLIENT(LBUTTONUP), LEFT_RELEASE, SPOILS_GESTURES | ENDS_ACTIVATION_HOLD, 0},
    {CLIENT_AND_NON_CLIENT(LBUTTONDBLCLK), LEFT_DOUBLE_CLICK, INTERRUPTS, 0},
    {CLIENT_AND_NON_CLIENT(MBUTTONDOWN), MIDDLE_PRESS,
     SPOILS_BUTTON_GESTURE | DISARMS_LEFT_RELEASE | ENDS_ACTIVATION_HOLD, 0},
    {CLIENT_AND_NON_CLIENT(MBUTTONUP), MIDDLE_RELEASE, SPOILS_BUTTON_GESTURE | DISARMS_LEFT_RELEASE,
     0},
    {CLIENT_AND_NON_CLIENT(MBUTTONDBLCLK), LIST_EVENT, OTHER_MESSAGE_EFFECTS,
     CLAIMED(MBUTTONDBLCLK)},
    {CLIENT_AND_NON_CLIENT(RBUTTONDOWN), BUTTON_PRESS, INTERRUPTS, RBUTTONDOWN_EVENT},
    {CLIENT_AND_NON_CLIENT(RBUTTONUP), BUTTON_RELEASE, BUTTON_RELEASE_EFFECTS, CLAIMED(RBUTTONUP)},
    {CLIENT_AND_NON_CLIENT(RBUTTONDBLCLK), BUTTON_PRESS, OTHER_MESSAGE_EFFECTS,
     CLAIMED(RBUTTONDBLCLK)},
    {CLIENT_AND_NON_CLIENT(XBUTTONDOWN), BUTTON_PRESS, OTHER_MESSAGE_EFFECTS,
     CLAIMED(XBUTTON1DOWN)},
    {CLIENT_AND_NON_CLIENT(XBUTTONUP), BUTTON_RELEASE, BUTTON_RELEASE_EFFECTS, CLAIMED(XBUTTON1UP)},
    {CLIENT_AND_NON_CLIENT(XBUTTONDBLCLK), BUTTON_PRESS, OTHER_MESSAGE_EFFECTS,
     CLAIMED(XBUTTON1DOWN)},
};

// The row of `message`, or NULL for a message without one.
const MessageRow *rowOf(UINT message) {
  int client = message >= WM_MOUSEFIRST;
  UINT distance = message - (client ? WM_MOUSEFIRST : WM_NCMOUSEMOVE);
  for (const MessageRow &row : MESSAGE_TABLE) {
    if (distance == (client ? row.client : row.nonClient)) return &row;
  }
  return NULL;
}

void applyEffects(unsigned effects) {
  if (effects & SPOILS_MIDDLE_GESTURE) spoilMiddleGesture();
  if (effects & ARMS_LEFT_RELEASE) armLeftRelease();
  if (effects & DISARMS_LEFT_RELEASE) disarmLeftRelease();
  if (effects & ENDS_ACTIVATION_HOLD) endActivationHold();
  if (effects & SPOILS_BUTTON_GESTURE) spoilButtonGesture();
}

LRESULT runHandler(const MessageRow *row, const MouseEvent *event) {
  switch (row->handler) {
    case LEFT_PRESS:
      return handleLeftPress(event);
    case LEFT_RELEASE:
      return handleLeftRelease(event);
    case LEFT_DOUBLE_CLICK:
      return handleLeftDoubleClick(event);
    case MIDDLE_PRESS:
      return handleMiddlePress(event);
    case MIDDLE_RELEASE:
      return handleMiddleRelease(event);
    case BUTTON_PRESS:
      return handleButtonPress(event, row->event);
    case BUTTON_RELEASE:
      return handleButtonRelease(event, row->event);
    case LIST_EVENT:
      return handleListEvent(event, row->event);
    default:
      return handleMove(event);
  }
}

LRESULT dispatchMessage(const MouseEvent *event) {
  const MessageRow *row = rowOf(event->message);
  applyEffects(row ? row->effects : OTHER_MESSAGE_EFFECTS);
  return row ? runHandler(row, event) : MA_ACTIVATE;
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
  event.generation = followPublishedImage();
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
