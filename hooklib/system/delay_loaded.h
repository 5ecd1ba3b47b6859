// Functions of system DLLs that not every process of the library needs,
// found at run time instead of imported. The library then loads into a
// hooked process with KERNEL32 and USER32 alone, and a DLL is loaded only
// into a process that calls one of its functions: SHLWAPI, VERSION and
// ADVAPI32 into the daemon's, whose loader alone uses them, DWMAPI into a
// process whose hook walks the z-order.
//
// Each DLL is loaded from the system directory, never from a program's own
// folder, and each function is looked up once per process: what was found,
// or that nothing was, lasts as long as the process. Where the DLL or the
// function is missing, the call answers as a failed call of that function
// does (FALSE or 0, a failed HRESULT, nothing written), without setting
// the last error. A
// DLL or a function more is a row of the tables in delay_loaded.cpp and a
// caller declared here with the function's own name and type.
#pragma once

#include <dwmapi.h>
#include <sddl.h>
#include <windows.h>

namespace delayLoaded {

// SHLWAPI
BOOL PathAppendA(LPSTR path, LPCSTR more);
BOOL PathRemoveFileSpecA(LPSTR path);

// VERSION
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID *buffer, PUINT length);

// DWMAPI (Windows Vista and later)
HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, PVOID value, DWORD size);

// ADVAPI32
BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                         DWORD size, PDWORD needed);
BOOL ConvertSidToStringSidA(PSID sid, LPSTR *text);
BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision,
                                                          PSECURITY_DESCRIPTOR *descriptor,
                                                          PULONG size);

}  // namespace delayLoaded
