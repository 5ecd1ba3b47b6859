// The library's entry point: the system calls it when the library is
// loaded into or unloaded from a process, and when a thread of that
// process starts or ends. The control exports are declared in vorn.h.
#pragma once

#include <windows.h>

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);
