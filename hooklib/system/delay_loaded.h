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
// the last error. A DLL or a function more is one row of the lists below,
// which give the enums, the tables of names and the callers. The callers
// are inline: each is called from one or two places, where the look-up and
// the call take fewer bytes than a call of a function that calls on.
#pragma once

#include <windows.h>

// After <windows.h>, which they need.
#include <aclapi.h>
#include <dwmapi.h>
#include <sddl.h>

namespace delayLoaded {

// The DLLs, each loaded from the system directory: its name in the code
// and its file name.
#define VORN_LOOKED_UP_LIBRARIES(X) \
  X(LIBRARY_SHELL32, "shell32.dll") \
  X(LIBRARY_VERSION, "version.dll") \
  X(LIBRARY_DWMAPI, "dwmapi.dll")   \
  X(LIBRARY_ADVAPI32, "advapi32.dll")

// The functions, one row each: its name in the code, its own name (the
// caller below is defined with it), its DLL, its result type and what a
// call answers where the DLL or the function is missing, and its
// parameters, declared and passed on.
// clang-format off
#define VORN_LOOKED_UP_FUNCTIONS(X)                                                              \
  /* SHELL32 */                                                                                  \
  X(SH_GET_FOLDER_PATH_W, SHGetFolderPathW, LIBRARY_SHELL32, HRESULT, E_NOTIMPL,                 \
    (HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path),                            \
    (owner, folder, token, flags, path))                                                         \
  /* VERSION */                                                                                  \
  X(GET_FILE_VERSION_INFO_SIZE_A, GetFileVersionInfoSizeA, LIBRARY_VERSION, DWORD, 0,            \
    (LPCSTR fileName, LPDWORD handle), (fileName, handle))                                       \
  X(GET_FILE_VERSION_INFO_A, GetFileVersionInfoA, LIBRARY_VERSION, BOOL, FALSE,                  \
    (LPCSTR fileName, DWORD handle, DWORD size, LPVOID data), (fileName, handle, size, data))     \
  X(VER_QUERY_VALUE_A, VerQueryValueA, LIBRARY_VERSION, BOOL, FALSE,                             \
    (LPCVOID block, LPCSTR subBlock, LPVOID *buffer, PUINT length),                              \
    (block, subBlock, buffer, length))                                                           \
  /* DWMAPI (Windows Vista and later) */                                                         \
  X(DWM_GET_WINDOW_ATTRIBUTE, DwmGetWindowAttribute, LIBRARY_DWMAPI, HRESULT, E_NOTIMPL,         \
    (HWND window, DWORD attribute, PVOID value, DWORD size), (window, attribute, value, size))    \
  /* ADVAPI32 */                                                                                 \
  X(OPEN_PROCESS_TOKEN, OpenProcessToken, LIBRARY_ADVAPI32, BOOL, FALSE,                         \
    (HANDLE process, DWORD access, PHANDLE token), (process, access, token))                     \
  X(GET_TOKEN_INFORMATION, GetTokenInformation, LIBRARY_ADVAPI32, BOOL, FALSE,                   \
    (HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information, DWORD size, PDWORD needed), \
    (token, kind, information, size, needed))                                                    \
  X(CONVERT_SID_TO_STRING_SID_A, ConvertSidToStringSidA, LIBRARY_ADVAPI32, BOOL, FALSE,          \
    (PSID sid, LPSTR *text), (sid, text))                                                        \
  X(CONVERT_STRING_SECURITY_DESCRIPTOR_A, ConvertStringSecurityDescriptorToSecurityDescriptorA,  \
    LIBRARY_ADVAPI32, BOOL, FALSE,                                                               \
    (LPCSTR text, DWORD revision, PSECURITY_DESCRIPTOR *descriptor, PULONG size),                \
    (text, revision, descriptor, size))                                                          \
  /* returns a Win32 error code */                                                               \
  X(GET_SECURITY_INFO, GetSecurityInfo, LIBRARY_ADVAPI32, DWORD, (DWORD)ERROR_PROC_NOT_FOUND,    \
    (HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION what, PSID *owner, PSID *group,    \
     PACL *dacl, PACL *sacl, PSECURITY_DESCRIPTOR *descriptor),                                  \
    (handle, type, what, owner, group, dacl, sacl, descriptor))
// clang-format on

#define VORN_LIBRARY_ENUM(id, file) id,
enum Library { VORN_LOOKED_UP_LIBRARIES(VORN_LIBRARY_ENUM) LIBRARY_COUNT };
#undef VORN_LIBRARY_ENUM

#define VORN_FUNCTION_ENUM(id, name, library, result, missing, parameters, arguments) id,
enum Function { VORN_LOOKED_UP_FUNCTIONS(VORN_FUNCTION_ENUM) FUNCTION_COUNT };
#undef VORN_FUNCTION_ENUM

// The function `which` as its DLL exports it, or NULL when the DLL or the
// function is missing. The first call per process looks it up.
FARPROC lookUp(Function which);

// Through void *: FARPROC stands for functions of any type.
template <typename Type>
inline Type lookUpAs(Function which) {
  return (Type)(void *)lookUp(which);
}

// Each caller: the function's own name and type, looked up, or the answer
// of a failed call.
#define VORN_FUNCTION_CALLER(id, name, library, result, missing, parameters, arguments) \
  inline result name parameters {                                                     \
    typedef result(WINAPI * Type) parameters;                                         \
    Type function = lookUpAs<Type>(id);                                               \
    return function ? function arguments : missing;                                   \
  }
VORN_LOOKED_UP_FUNCTIONS(VORN_FUNCTION_CALLER)
#undef VORN_FUNCTION_CALLER

}  // namespace delayLoaded
