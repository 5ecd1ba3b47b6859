// Host build only: the daemon calls the control functions by the names the
// Windows DLL exports them under; here they forward to the library itself.
#include "vorn.h"

extern "C" {
int _MySetHook(void) { return MySetHook(); }
int _MyEndHook(void) { return MyEndHook(); }
int _IsHooking(void) { return IsHooking(); }
}
