#include "system/delay_loaded.h"

#include <windows.h>

#include "system/name_lists.h"

namespace {

enum Library { LIBRARY_SHELL32, LIBRARY_VERSION, LIBRARY_DWMAPI, LIBRARY_ADVAPI32, LIBRARY_COUNT };

// In the order of enum Library.
const char LIBRARY_NAMES[] = "shell32.dll\0version.dll\0dwmapi.dll\0advapi32.dll\0";

using delayLoaded::Function;
using delayLoaded::FUNCTION_COUNT;

// In the order of enum Function: each function's name, and its DLL.
const char FUNCTION_NAMES[] =
    "SHGetFolderPathW\0"
    "GetFileVersionInfoSizeA\0GetFileVersionInfoA\0VerQueryValueA\0"
    "DwmGetWindowAttribute\0"
    "OpenProcessToken\0GetTokenInformation\0ConvertSidToStringSidA\0"
    "ConvertStringSecurityDescriptorToSecurityDescriptorA\0GetSecurityInfo\0";
const unsigned char FUNCTION_LIBRARIES[FUNCTION_COUNT] = {
    LIBRARY_SHELL32,  LIBRARY_VERSION,  LIBRARY_VERSION,  LIBRARY_VERSION,  LIBRARY_DWMAPI,
    LIBRARY_ADVAPI32, LIBRARY_ADVAPI32, LIBRARY_ADVAPI32, LIBRARY_ADVAPI32, LIBRARY_ADVAPI32,
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
  if (systemLibraryPath(nameListAt(LIBRARY_NAMES, library), path)) module = LoadLibraryA(path);
  return module ? module : (HMODULE)MISSING;
}

HMODULE library(Library which) {
  if (libraries[which] == NULL) libraries[which] = loadLibrary(which);
  return libraries[which] == (HMODULE)MISSING ? NULL : libraries[which];
}

}  // namespace

FARPROC delayLoaded::lookUp(Function which) {
  if (functions[which] == NULL) {
    HMODULE module = library((Library)FUNCTION_LIBRARIES[which]);
    FARPROC found = module ? GetProcAddress(module, nameListAt(FUNCTION_NAMES, which)) : NULL;
    functions[which] = found ? found : (FARPROC)MISSING;
  }
  return functions[which] == (FARPROC)MISSING ? NULL : functions[which];
}
