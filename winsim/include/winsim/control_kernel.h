// winsim controls for the kernel services (files, mappings, versions).
// Host build only: Windows has no API for these.
#pragma once

#include "winsim/wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

// Puts every kernel setting below back to its default and stops any
// planned failure. Open handles, sections, files and loaded libraries are
// left alone.
void winsimResetKernel(void);

// ---- handles -------------------------------------------------------------------
// How many kernel handles (files, file mappings, ...) are open.
int winsimOpenHandleCount(void);

// ---- named shared memory --------------------------------------------------------
// The next CreateFileMappingA (or MapViewOfFile) fails with `error` and
// returns NULL, whatever it is asked; later calls work again. An error of
// 0 cancels a planned failure.
void winsimFailNextCreateFileMapping(DWORD error);
void winsimFailNextMapViewOfFile(DWORD error);
// Sections that still exist (held by a handle or a view) and views mapped.
int winsimSectionCount(void);
int winsimViewCount(void);

// ---- system facts -----------------------------------------------------------------
// What GetVersion returns; by default 0x0A280105 (Windows XP, 5.1 build 2600).
void winsimSetVersion(DWORD version);
// GetTickCount runs this many milliseconds ahead from now on.
void winsimAdvanceTickCount(DWORD milliseconds);

// The simulated shell32.dll in the system folder: present with a version
// resource whose dwFileVersionMS is `fileVersionMS` (major << 16 | minor;
// by default 6.0), present without a version resource, or missing.
typedef enum WinsimShell32 {
  WINSIM_SHELL32_VERSIONED = 0,
  WINSIM_SHELL32_UNVERSIONED = 1,
  WINSIM_SHELL32_MISSING = 2
} WinsimShell32;
void winsimSetShell32(WinsimShell32 presence, DWORD fileVersionMS);

// ---- processes ----------------------------------------------------------------------
// The program file QueryFullProcessImageNameA gives for process
// `processId`; by default every process runs the host program itself. A
// NULL path puts the default back.
void winsimSetProcessImagePath(DWORD processId, LPCSTR path);

// ---- system libraries ---------------------------------------------------------------
// Whether LoadLibraryA finds the system DLL called `name` (shlwapi.dll,
// version.dll): by default every one is present; a missing one fails to
// load with ERROR_MOD_NOT_FOUND. A library loaded already stays loaded.
void winsimSetLibraryPresent(LPCSTR name, BOOL present);
// How many LoadLibraryA calls for `name` FreeLibrary has not yet matched.
int winsimLibraryLoadCount(LPCSTR name);

// ---- heap --------------------------------------------------------------------------
// Successful HeapAlloc and HeapReAlloc calls so far, and blocks not yet freed.
long winsimHeapAllocationCount(void);
long winsimHeapBlockCount(void);

#ifdef __cplusplus
}
#endif
