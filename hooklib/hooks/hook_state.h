// The hooks' state: the gesture the mouse hook follows, shared by every
// process, and what each process keeps for itself (the hook handles among
// it).
//
// A press handled in one process and its release in another form one
// gesture: it lives in the shared section (shared_section.cpp), which any
// process may write, so no value of it may do harm. Each is an aligned
// machine word (lastPoint two) read and written with plain loads and
// stores.
#pragma once

#include <windows.h>

#include <stdint.h>

extern "C" {

// A mouse hook call the daemon passed on for a thread of another process
// (hooks/marshalled_messages.h): the thread that will retrieve the
// message, the message, and the window's handle as 32 bits.
struct MarshalledMessage {
  uint32_t threadId;
  uint32_t message;
  uint32_t window;
};
enum { MARSHALLED_MESSAGE_SLOTS = 16 };

// ---- shared --------------------------------------------------------------
extern int32_t activationHold;
extern int32_t foregroundChanged;
extern int32_t middleState;
extern int32_t lbuttonUpArmed;
extern POINT lastPoint;
extern MarshalledMessage marshalledMessages[MARSHALLED_MESSAGE_SLOTS];
// The right or extra button's gesture (hooks/button_gesture.h): the
// button in GESTURE_BUTTON, and the gesture flags.
extern int32_t buttonGesture;

// ---- per process ---------------------------------------------------------
extern HINSTANCE moduleHandle;
extern UINT wheelMessage;
extern int32_t clickCount;
// 1 once this process has installed the hooks. Hook handles found in the
// section's trailer before that belong to an earlier daemon that ended
// without removing them (killed, or crashed).
extern int32_t hooksInstalledHere;
// The hooks as this process installed them: only a daemon installs and
// removes them, so only its copies are ever set, and it records them in
// the section's trailer for the next daemon (lifecycle.cpp). Every other
// process passes NULL to CallNextHookEx, whose hook argument the system
// ignores.
extern HHOOK mouseHook;
extern HHOOK getMessageHook;
extern HHOOK callWndProcRetHook;
// Mouse hook calls this process passed on untouched because they were for
// a window of another process (marshalled: hooks/marshalled_messages.h).
extern int32_t marshalledCallCount;

}  // extern "C"

// MiddleState values.
enum {
  MIDDLE_IDLE = 0,
  MIDDLE_PRESSED = 1,
  MIDDLE_SPOILED = 2,
};

// buttonGesture values: 0 idle, else the button with its flags.
enum {
  GESTURE_IDLE = 0,
  GESTURE_RIGHT = 1,
  GESTURE_XBUTTON1 = 2,
  GESTURE_XBUTTON2 = 3,
  GESTURE_BUTTON = 3,
  GESTURE_PRESS_SWALLOWED = 4,
  GESTURE_SPOILED = 8,
};
