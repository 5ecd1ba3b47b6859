// The hooks' per-process state; their shared values are defined with the
// rest of the shared section in shared_section.cpp.
#include "hooks/hook_state.h"

extern "C" {

HINSTANCE moduleHandle = NULL;
UINT wheelMessage = 0;
int32_t clickCount = 0;
int32_t hooksInstalledHere = 0;
HHOOK mouseHook = NULL;
HHOOK getMessageHook = NULL;
HHOOK callWndProcRetHook = NULL;
int32_t marshalledCallCount = 0;

}  // extern "C"
