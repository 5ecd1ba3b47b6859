// Functions of system DLLs that not every process of the library needs,
// found at run time instead of imported. The library then loads into a
// hooked process with KERNEL32 and USER32 alone, and a DLL is loaded only
// into a process that calls one of its functions: SHLWAPI and VERSION into
// the daemon's, whose loader alone uses them.
//
// Each DLL is loaded from the system directory, never from a program's own
// folder, and each function is looked up once per process: what was found,
// or that nothing was, lasts as long as the process. Where the DLL or the
// function is missing, the call answers as a failed call of that function
// does (FALSE or 0, nothing written), without setting the last error. A
// DLL or a function more is a row of the tables in delay_loaded.cpp and a
// caller declared here with the function's own name and type.
#pragma once

#include <windows.h>

namespace delayLoaded {

// SHLWAPI
BOOL PathAppendA(LPSTR path, LPCSTR more);
BOOL PathRemoveFileSpecA(LPSTR path);

// VERSION
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID *buffer, PUINT length);

}  // namespace delayLoaded
