// The library's shared section `_SDATA`: one copy of these variables for
// every process that has the library loaded. The section attribute places
// them; the build passes VORN_SECTION_SHARING as `shared,` for the DLL, so
// that the Windows linker marks the section shared, and empty for the
// programs that link these objects themselves (vorncheck, the tests), whose
// copies stay their own.
//
// They are defined here together, in their designed order, so that the
// section's layout is one fact in one place; `no_reorder` keeps the
// compiler to that order (it would otherwise lay them out last first), and
// tests/static checks it in the built library. Each owner declares its
// own: the loader's option values (config/loader_state.h), the hooks'
// gesture state and hook handles (hooks/hook_state.h), and the window the
// window operations read (windows/last_activated_window.h).
#include <windows.h>

#include <stdint.h>

#include "config/loader_state.h"
#include "hooks/hook_state.h"
#include "windows/last_activated_window.h"

#define VORN_SHARED __attribute__((section("_SDATA"), VORN_SECTION_SHARING no_reorder))

extern "C" {

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
// Aligned as its words are, and no further: the compiler would otherwise
// give an array this large the alignment of vector loads on x86-64, and a
// gap before it.
VORN_SHARED __attribute__((aligned(4)))
MarshalledMessage marshalledMessages[MARSHALLED_MESSAGE_SLOTS] = {};

}  // extern "C"
