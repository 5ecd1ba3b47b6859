// The loader's state: the path of vorn.ini, the option values it reads
// from it, and this process's view of the ConfigImage. All of it is per
// process: the path and useCallWndProcRetHook only the daemon uses; the
// loader sets the option values in the daemon's process and publishes the
// ones the hooks read behind the image (image_publish.h), from where every
// other process takes its copy. Each is an aligned 32-bit word read and
// written with plain loads and stores.
#pragma once

#include <windows.h>

#include <stdint.h>

extern "C" {

extern char iniPath[256];
extern int32_t useCallWndProcRetHook;
extern int32_t mbuttonUpMoveProtect;
extern int32_t lbuttonUpMoveProtect;
extern int32_t xmouseMode;
extern int32_t maskXmouseOnMove;

extern HANDLE mappingHandle;
extern unsigned char *imageBase;
extern unsigned char *arenaCursor;
extern const unsigned char *imageHeader;
// Bytes of this process's view that may be read: the section's size as the
// system reports it for the view. 0 while no view is held.
extern uint32_t imageSize;
// The trailer at the end of this process's view (image_layout.h); NULL
// while no view is held.
extern const unsigned char *imageTrailer;
// 1 while this process's view is the writable one the loader made.
extern int32_t imageWritable;

}  // extern "C"

// XMouseMode values.
enum {
  XMOUSE_OFF = 0,
  XMOUSE_SIMULATED = 1,
  XMOUSE_SYSTEM_TRACKING = 2,
};
