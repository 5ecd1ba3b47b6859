// The control functions under the names the DLL exports them by, for
// programs that link the library in instead of loading vorn.dll: the host
// build's daemon, and tests of the daemon.
#include "vorn.h"

extern "C" {
int _MySetHook(void) { return MySetHook(); }
int _MyEndHook(void) { return MyEndHook(); }
int _IsHooking(void) { return IsHooking(); }
const char *_MyIniPath(void) { return MyIniPath(); }
}
