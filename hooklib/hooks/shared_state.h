// The hook library's global state.
//
// Shared variables live in the data section `_SDATA`, which the Windows
// build marks shared: one copy for every process that has the library
// loaded. They hold no addresses, only numbers, a path and handles. Each is
// an aligned machine word read and written with plain loads and stores.
//
// Per-process variables are ordinary data: each process has its own copy.
#pragma once

#include <windows.h>

#include <stdint.h>

extern "C" {

// ---- shared (one copy for all processes) ---------------------------------
extern char iniPath[256];
extern int32_t useCallWndProcRetHook;
extern int32_t mbuttonUpMoveProtect;
extern int32_t lbuttonUpMoveProtect;
extern int32_t xmouseMode;
extern int32_t maskXmouseOnMove;
extern int32_t activationHold;
extern int32_t foregroundChanged;
extern HHOOK mouseHook;
extern HHOOK getMessageHook;
extern HHOOK callWndProcRetHook;
extern int32_t middleState;
extern int32_t lbuttonUpArmed;
extern POINT lastPoint;
extern HWND lastActivatedWindow;

// ---- per process ---------------------------------------------------------
extern HINSTANCE moduleHandle;
extern UINT wheelMessage;
extern HANDLE mappingHandle;
extern unsigned char *imageBase;
extern unsigned char *arenaCursor;
extern const unsigned char *imageHeader;
// Bytes of this process's view that may be read: the section's size as the
// system reports it for the view. 0 while no view is held.
extern uint32_t imageSize;
// 1 while this process's view is the writable one the loader made.
extern int32_t imageWritable;
extern int32_t clickCount;
// 1 once this process has installed the hooks. Hook handles found in the
// shared section before that belong to an earlier daemon that ended
// without removing them (killed, or crashed).
extern int32_t hooksInstalledHere;

}  // extern "C"

// MiddleState values.
enum {
  MIDDLE_IDLE = 0,
  MIDDLE_PRESSED = 1,
  MIDDLE_SPOILED = 2,
};

// XMouseMode values.
enum {
  XMOUSE_OFF = 0,
  XMOUSE_SIMULATED = 1,
  XMOUSE_SYSTEM_TRACKING = 2,
};
