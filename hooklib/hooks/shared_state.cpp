// Definitions of the library's global state. The section attribute places
// the shared variables in `_SDATA`; the Windows linker marks that section
// shared (the host build has no such flag and ignores it).
#include "hooks/shared_state.h"

#define VORN_SHARED __attribute__((section("_SDATA"), shared))

extern "C" {

// ---- shared --------------------------------------------------------------
VORN_SHARED char iniPath[256] = "vorn.ini";
VORN_SHARED int32_t useCallWndProcRetHook = 0;
VORN_SHARED int32_t mbuttonUpMoveProtect = 0;
VORN_SHARED int32_t lbuttonUpMoveProtect = 0;
VORN_SHARED int32_t xmouseMode = 0;
VORN_SHARED int32_t maskXmouseOnMove = 0;
VORN_SHARED int32_t activationHold = 0;
VORN_SHARED int32_t foregroundChanged = 0;
VORN_SHARED HHOOK mouseHook = NULL;
VORN_SHARED HHOOK getMessageHook = NULL;
VORN_SHARED HHOOK callWndProcRetHook = NULL;
VORN_SHARED int32_t middleState = 0;
VORN_SHARED int32_t lbuttonUpArmed = 0;
VORN_SHARED POINT lastPoint = {0, 0};
VORN_SHARED HWND lastActivatedWindow = NULL;

// ---- per process ---------------------------------------------------------
HINSTANCE moduleHandle = NULL;
UINT wheelMessage = 0;
HANDLE mappingHandle = NULL;
unsigned char *imageBase = NULL;
unsigned char *arenaCursor = NULL;
const unsigned char *imageHeader = NULL;
uint32_t imageSize = 0;
int32_t imageWritable = 0;
int32_t clickCount = 0;
int32_t hooksInstalledHere = 0;

}  // extern "C"
