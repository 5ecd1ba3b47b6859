// SHELL32 as winsim provides it: the folders of the user's profile.
#pragma once

#include <windows.h>

#define CSIDL_APPDATA 0x001a
#define SHGFP_TYPE_CURRENT 0

#ifdef __cplusplus
extern "C" {
#endif

HRESULT WINAPI SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);

#ifdef __cplusplus
}
#endif
