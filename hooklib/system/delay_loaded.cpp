#include "system/delay_loaded.h"

#include <windows.h>

namespace {

enum Library { LIBRARY_SHLWAPI, LIBRARY_VERSION, LIBRARY_DWMAPI, LIBRARY_ADVAPI32, LIBRARY_COUNT };

const char *const LIBRARY_NAMES[LIBRARY_COUNT] = {"shlwapi.dll", "version.dll", "dwmapi.dll",
                                                  "advapi32.dll"};

enum Function {
  PATH_APPEND_A,
  PATH_REMOVE_FILE_SPEC_A,
  GET_FILE_VERSION_INFO_SIZE_A,
  GET_FILE_VERSION_INFO_A,
  VER_QUERY_VALUE_A,
  DWM_GET_WINDOW_ATTRIBUTE,
  OPEN_PROCESS_TOKEN,
  GET_TOKEN_INFORMATION,
  CONVERT_SID_TO_STRING_SID_A,
  CONVERT_STRING_SECURITY_DESCRIPTOR_A,
  FUNCTION_COUNT
};

struct FunctionRow {
  Library library;
  const char *name;
};

// In the order of enum Function.
const FunctionRow FUNCTIONS[FUNCTION_COUNT] = {
    {LIBRARY_SHLWAPI, "PathAppendA"},
    {LIBRARY_SHLWAPI, "PathRemoveFileSpecA"},
    {LIBRARY_VERSION, "GetFileVersionInfoSizeA"},
    {LIBRARY_VERSION, "GetFileVersionInfoA"},
    {LIBRARY_VERSION, "VerQueryValueA"},
    {LIBRARY_DWMAPI, "DwmGetWindowAttribute"},
    {LIBRARY_ADVAPI32, "OpenProcessToken"},
    {LIBRARY_ADVAPI32, "GetTokenInformation"},
    {LIBRARY_ADVAPI32, "ConvertSidToStringSidA"},
    {LIBRARY_ADVAPI32, "ConvertStringSecurityDescriptorToSecurityDescriptorA"},
};

// Per process, each one word: null until looked up, then what was found or
// MISSING for a lookup that found nothing. Threads that look up at the same
// moment store the same value. (The mark is converted where it is used: a
// constant initialised by a cast would need start-up code to set it.)
const INT_PTR MISSING = -1;
HMODULE libraries[LIBRARY_COUNT];
FARPROC functions[FUNCTION_COUNT];

// "<system directory>\<name>"; 0 when it does not fit.
int systemLibraryPath(const char *name, char *path) {
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + (UINT)lstrlenA(name) >= MAX_PATH) return 0;
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  return 1;
}

HMODULE loadLibrary(Library library) {
  char path[MAX_PATH];
  HMODULE module = NULL;
  if (systemLibraryPath(LIBRARY_NAMES[library], path)) module = LoadLibraryA(path);
  return module ? module : (HMODULE)MISSING;
}

HMODULE library(Library which) {
  if (libraries[which] == NULL) libraries[which] = loadLibrary(which);
  return libraries[which] == (HMODULE)MISSING ? NULL : libraries[which];
}

FARPROC lookUp(Function which) {
  if (functions[which] == NULL) {
    HMODULE module = library(FUNCTIONS[which].library);
    FARPROC found = module ? GetProcAddress(module, FUNCTIONS[which].name) : NULL;
    functions[which] = found ? found : (FARPROC)MISSING;
  }
  return functions[which] == (FARPROC)MISSING ? NULL : functions[which];
}

// Through void *: FARPROC stands for functions of any type.
template <typename Type>
Type lookUpAs(Function which) {
  return (Type)(void *)lookUp(which);
}

}  // namespace

namespace delayLoaded {

BOOL PathAppendA(LPSTR path, LPCSTR more) {
  typedef BOOL(WINAPI * Type)(LPSTR, LPCSTR);
  Type function = lookUpAs<Type>(PATH_APPEND_A);
  return function ? function(path, more) : FALSE;
}

BOOL PathRemoveFileSpecA(LPSTR path) {
  typedef BOOL(WINAPI * Type)(LPSTR);
  Type function = lookUpAs<Type>(PATH_REMOVE_FILE_SPEC_A);
  return function ? function(path) : FALSE;
}

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) {
  typedef DWORD(WINAPI * Type)(LPCSTR, LPDWORD);
  Type function = lookUpAs<Type>(GET_FILE_VERSION_INFO_SIZE_A);
  return function ? function(fileName, handle) : 0;
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data) {
  typedef BOOL(WINAPI * Type)(LPCSTR, DWORD, DWORD, LPVOID);
  Type function = lookUpAs<Type>(GET_FILE_VERSION_INFO_A);
  return function ? function(fileName, handle, size, data) : FALSE;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID *buffer, PUINT length) {
  typedef BOOL(WINAPI * Type)(LPCVOID, LPCSTR, LPVOID *, PUINT);
  Type function = lookUpAs<Type>(VER_QUERY_VALUE_A);
  return function ? function(block, subBlock, buffer, length) : FALSE;
}

// What a missing function answers for: a failed HRESULT.
HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, PVOID value, DWORD size) {
  typedef HRESULT(WINAPI * Type)(HWND, DWORD, PVOID, DWORD);
  Type function = lookUpAs<Type>(DWM_GET_WINDOW_ATTRIBUTE);
  return function ? function(window, attribute, value, size) : E_NOTIMPL;
}

BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  typedef BOOL(WINAPI * Type)(HANDLE, DWORD, PHANDLE);
  Type function = lookUpAs<Type>(OPEN_PROCESS_TOKEN);
  return function ? function(process, access, token) : FALSE;
}

BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                         DWORD size, PDWORD needed) {
  typedef BOOL(WINAPI * Type)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
  Type function = lookUpAs<Type>(GET_TOKEN_INFORMATION);
  return function ? function(token, kind, information, size, needed) : FALSE;
}

BOOL ConvertSidToStringSidA(PSID sid, LPSTR *text) {
  typedef BOOL(WINAPI * Type)(PSID, LPSTR *);
  Type function = lookUpAs<Type>(CONVERT_SID_TO_STRING_SID_A);
  return function ? function(sid, text) : FALSE;
}

BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision,
                                                          PSECURITY_DESCRIPTOR *descriptor,
                                                          PULONG size) {
  typedef BOOL(WINAPI * Type)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR *, PULONG);
  Type function = lookUpAs<Type>(CONVERT_STRING_SECURITY_DESCRIPTOR_A);
  return function ? function(text, revision, descriptor, size) : FALSE;
}

}  // namespace delayLoaded
