// The runtime's DLL start-up code calls DllMain; the library's entry point
// is DllEntryPoint.
#include "lifecycle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return DllEntryPoint(instance, reason, reserved);
}
