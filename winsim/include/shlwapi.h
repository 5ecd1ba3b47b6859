// SHLWAPI as winsim provides it: the path functions.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

BOOL WINAPI PathAppendA(LPSTR path, LPCSTR more);
BOOL WINAPI PathRemoveFileSpecA(LPSTR path);
BOOL WINAPI PathIsRelativeA(LPCSTR path);
BOOL WINAPI PathFileExistsA(LPCSTR path);

#ifdef __cplusplus
}
#endif
