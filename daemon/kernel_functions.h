// The kernel functions the daemon finds at run time rather than importing
// them: the 32-bit vornd.exe imports exactly what it did before it learnt
// to start its 64-bit companion, and IsWow64Process is missing on systems
// older than Windows XP SP2, where a load-time import would stop the
// program from starting at all.
#pragma once

#include <windows.h>

struct KernelFunctions {
  BOOL(WINAPI *IsWow64Process)(HANDLE process, PBOOL wow64);
  HANDLE(WINAPI *GetCurrentProcess)(void);
  LPSTR(WINAPI *GetCommandLineA)(void);
  DWORD(WINAPI *GetFileAttributesA)(LPCSTR name);
  BOOL(WINAPI *CreateProcessA)
  (LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
   LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles, DWORD flags, LPVOID environment,
   LPCSTR currentDirectory, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION information);
  DWORD(WINAPI *WaitForSingleObject)(HANDLE object, DWORD milliseconds);
  BOOL(WINAPI *CloseHandle)(HANDLE object);
};

// Looks every function up in KERNEL32. 1 when all were found; 0 (and the
// table must not be used) when any is missing.
int findKernelFunctions(KernelFunctions *functions);
