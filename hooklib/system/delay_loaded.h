// Functions of system DLLs that not every process of the library needs,
// found at run time instead of imported. The library then loads into a
// hooked process with KERNEL32 and USER32 alone, and a DLL is loaded only
// into a process that calls one of its functions: SHELL32, VERSION and
// ADVAPI32 into the daemon's, whose loader alone uses them, DWMAPI into a
// process whose hook walks the z-order.
//
// Each DLL is loaded from the system directory, never from a program's own
// folder, and each function is looked up once per process: what was found,
// or that nothing was, lasts as long as the process. Where the DLL or the
// function is missing, the call answers as a failed call of that function
// does (FALSE or 0, a failed HRESULT, nothing written), without setting
// the last error. A DLL or a function more is an entry of enum Function, a
// caller defined here with the function's own name and type, and its name
// and DLL in the tables of delay_loaded.cpp. The callers are inline: each
// is called from one or two places, where the look-up and the call take
// fewer bytes than a call of a function that calls on.
#pragma once

#include <windows.h>

// After <windows.h>, which they need.
#include <aclapi.h>
#include <dwmapi.h>
#include <sddl.h>

namespace delayLoaded {

// In the order of the table in delay_loaded.cpp.
enum Function {
  SH_GET_FOLDER_PATH_W,
  GET_FILE_VERSION_INFO_SIZE_A,
  GET_FILE_VERSION_INFO_A,
  VER_QUERY_VALUE_A,
  DWM_GET_WINDOW_ATTRIBUTE,
  OPEN_PROCESS_TOKEN,
  GET_TOKEN_INFORMATION,
  CONVERT_SID_TO_STRING_SID_A,
  CONVERT_STRING_SECURITY_DESCRIPTOR_A,
  GET_SECURITY_INFO,
  FUNCTION_COUNT
};

// The function `which` as its DLL exports it, or NULL when the DLL or the
// function is missing. The first call per process looks it up.
FARPROC lookUp(Function which);

// Through void *: FARPROC stands for functions of any type.
template <typename Type>
inline Type lookUpAs(Function which) {
  return (Type)(void *)lookUp(which);
}

// SHELL32
inline HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path) {
  typedef HRESULT(WINAPI * Type)(HWND, int, HANDLE, DWORD, LPWSTR);
  Type function = lookUpAs<Type>(SH_GET_FOLDER_PATH_W);
  return function ? function(owner, folder, token, flags, path) : E_NOTIMPL;
}

// VERSION
inline DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) {
  typedef DWORD(WINAPI * Type)(LPCSTR, LPDWORD);
  Type function = lookUpAs<Type>(GET_FILE_VERSION_INFO_SIZE_A);
  return function ? function(fileName, handle) : 0;
}

inline BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data) {
  typedef BOOL(WINAPI * Type)(LPCSTR, DWORD, DWORD, LPVOID);
  Type function = lookUpAs<Type>(GET_FILE_VERSION_INFO_A);
  return function ? function(fileName, handle, size, data) : FALSE;
}

inline BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID *buffer, PUINT length) {
  typedef BOOL(WINAPI * Type)(LPCVOID, LPCSTR, LPVOID *, PUINT);
  Type function = lookUpAs<Type>(VER_QUERY_VALUE_A);
  return function ? function(block, subBlock, buffer, length) : FALSE;
}

// DWMAPI (Windows Vista and later); missing, it answers with a failed
// HRESULT.
inline HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, PVOID value, DWORD size) {
  typedef HRESULT(WINAPI * Type)(HWND, DWORD, PVOID, DWORD);
  Type function = lookUpAs<Type>(DWM_GET_WINDOW_ATTRIBUTE);
  return function ? function(window, attribute, value, size) : E_NOTIMPL;
}

// ADVAPI32
inline BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  typedef BOOL(WINAPI * Type)(HANDLE, DWORD, PHANDLE);
  Type function = lookUpAs<Type>(OPEN_PROCESS_TOKEN);
  return function ? function(process, access, token) : FALSE;
}

inline BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed) {
  typedef BOOL(WINAPI * Type)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
  Type function = lookUpAs<Type>(GET_TOKEN_INFORMATION);
  return function ? function(token, kind, information, size, needed) : FALSE;
}

inline BOOL ConvertSidToStringSidA(PSID sid, LPSTR *text) {
  typedef BOOL(WINAPI * Type)(PSID, LPSTR *);
  Type function = lookUpAs<Type>(CONVERT_SID_TO_STRING_SID_A);
  return function ? function(sid, text) : FALSE;
}

inline BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision,
                                                                 PSECURITY_DESCRIPTOR *descriptor,
                                                                 PULONG size) {
  typedef BOOL(WINAPI * Type)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR *, PULONG);
  Type function = lookUpAs<Type>(CONVERT_STRING_SECURITY_DESCRIPTOR_A);
  return function ? function(text, revision, descriptor, size) : FALSE;
}

// Returns a Win32 error code; ERROR_PROC_NOT_FOUND when it is missing.
inline DWORD GetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION what,
                             PSID *owner, PSID *group, PACL *dacl, PACL *sacl,
                             PSECURITY_DESCRIPTOR *descriptor) {
  typedef DWORD(WINAPI * Type)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID *, PSID *, PACL *,
                               PACL *, PSECURITY_DESCRIPTOR *);
  Type function = lookUpAs<Type>(GET_SECURITY_INFO);
  return function ? function(handle, type, what, owner, group, dacl, sacl, descriptor)
                  : (DWORD)ERROR_PROC_NOT_FOUND;
}

}  // namespace delayLoaded
