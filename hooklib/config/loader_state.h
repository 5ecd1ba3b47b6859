// The loader's state: the option values it reads from vorn.ini, and this
// process's view of the ConfigImage.
//
// The option values live in the shared section (shared_section.cpp), one
// copy for every process that has the library loaded: the loader writes
// them in the daemon's process and the hooks read them everywhere. Each is
// an aligned 32-bit word read and written with plain loads and stores.
// The view is per process: every process maps the image on its own, at
// its own address.
#pragma once

#include <windows.h>

#include <stdint.h>

extern "C" {

// ---- shared --------------------------------------------------------------
extern char iniPath[256];
extern int32_t useCallWndProcRetHook;
extern int32_t mbuttonUpMoveProtect;
extern int32_t lbuttonUpMoveProtect;
extern int32_t xmouseMode;
extern int32_t maskXmouseOnMove;

// ---- per process ---------------------------------------------------------
extern HANDLE mappingHandle;
extern unsigned char *imageBase;
extern unsigned char *arenaCursor;
extern const unsigned char *imageHeader;
// Bytes of this process's view that may be read: the section's size as the
// system reports it for the view. 0 while no view is held.
extern uint32_t imageSize;
// 1 while this process's view is the writable one the loader made.
extern int32_t imageWritable;

}  // extern "C"

// XMouseMode values.
enum {
  XMOUSE_OFF = 0,
  XMOUSE_SIMULATED = 1,
  XMOUSE_SYSTEM_TRACKING = 2,
};
