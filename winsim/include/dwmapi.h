// DWMAPI as winsim provides it: whether the desktop window manager cloaks
// a window (winsimSetWindowCloaked sets it).
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { DWMWA_CLOAKED = 14 };
#define DWM_CLOAKED_APP 0x00000001u
#define DWM_CLOAKED_SHELL 0x00000002u
#define DWM_CLOAKED_INHERITED 0x00000004u

HRESULT WINAPI DwmGetWindowAttribute(HWND window, DWORD attribute, PVOID value, DWORD size);

#ifdef __cplusplus
}
#endif
