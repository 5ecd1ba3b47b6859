// The library's life in each process (entry point) and the control exports.
#pragma once

#include <windows.h>

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);
