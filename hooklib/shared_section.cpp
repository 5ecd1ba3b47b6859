// The library's shared section `_SDATA`: one copy of these variables for
// every process that has the library loaded. The section attribute places
// them; the build passes VORN_SECTION_SHARING as `shared,` for the DLL, so
// that the Windows linker marks the section shared, and empty for the
// programs that link these objects themselves (vorncheck, the tests), whose
// copies stay their own.
//
// Any process that loads the library may write this section, a sandboxed
// one included: it holds only the gesture, which must be one across
// processes because a press handled in one program may be released in
// another, and which the hooks take as untrusted (any value of it is
// harmless). The configuration file's path and the hook handles are the
// daemon's alone and live in its own memory; the option values the hooks
// read reach them with the image, in the section only the daemon writes.
//
// They are defined here together, in their designed order, so that the
// section's layout is one fact in one place; `no_reorder` keeps the
// compiler to that order (it would otherwise lay them out last first), and
// tests/static checks it in the built library. Each owner declares its
// own: the hooks' gesture state (hooks/hook_state.h), and the window the
// window operations read (windows/last_activated_window.h).
#include <windows.h>

#include <stdint.h>

#include "hooks/hook_state.h"
#include "windows/last_activated_window.h"

#define VORN_SHARED __attribute__((section("_SDATA"), VORN_SECTION_SHARING no_reorder))

extern "C" {

VORN_SHARED int32_t activationHold = 0;
VORN_SHARED int32_t foregroundChanged = 0;
VORN_SHARED int32_t middleState = 0;
VORN_SHARED int32_t lbuttonUpArmed = 0;
VORN_SHARED POINT lastPoint = {0, 0};
VORN_SHARED HWND lastActivatedWindow = NULL;
// Aligned as its words are, and no further: the compiler would otherwise
// give an array this large the alignment of vector loads on x86-64, and a
// gap before it.
VORN_SHARED __attribute__((aligned(4)))
MarshalledMessage marshalledMessages[MARSHALLED_MESSAGE_SLOTS] = {};
VORN_SHARED int32_t buttonGesture = 0;

}  // extern "C"
