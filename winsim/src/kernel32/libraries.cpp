// Loading system DLLs at run time: LoadLibraryA, GetProcAddress and
// FreeLibrary for the DLLs whose functions winsim provides itself. Each
// library has a fixed handle and a reference count; its functions are
// winsim's own. KERNEL32 and USER32 are loaded into every process from its
// start (GetModuleHandleA finds them): only the functions programs look up
// in them at run time are listed.
#include <dwmapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <aclapi.h>
#include <windows.h>

#include <string.h>
#include <strings.h>

#include <mutex>
#include <string>

#include "libraries.h"
#include "processes.h"
#include "winsim/control_kernel.h"

namespace {

struct Library {
  const char *name;
  HMODULE handle;
};

const Library LIBRARIES[] = {
    {"shlwapi.dll", (HMODULE)(uintptr_t)0x70000000},
    {"version.dll", (HMODULE)(uintptr_t)0x70010000},
    {"dwmapi.dll", (HMODULE)(uintptr_t)0x70020000},
    {"advapi32.dll", (HMODULE)(uintptr_t)0x70030000},
    {"kernel32.dll", (HMODULE)(uintptr_t)0x7B000000},
    {"user32.dll", (HMODULE)(uintptr_t)0x7B100000},
    {"shell32.dll", (HMODULE)(uintptr_t)0x70040000},
};
const int KERNEL32 = 4;
const int USER32 = 5;
const int SHELL32 = 6;

// Loaded into every process of the host build from its start.
bool alwaysLoaded(int library) { return library == KERNEL32 || library == USER32; }
const int LIBRARY_COUNT = (int)(sizeof LIBRARIES / sizeof LIBRARIES[0]);

struct Export {
  int library;
  const char *name;
  FARPROC address;
};

// Through void *: the functions have types of their own, as behind
// GetProcAddress on Windows.
#define WINSIM_EXPORT(library, function) \
  { library, #function, (FARPROC)(void *)&function }

const Export EXPORTS[] = {
    WINSIM_EXPORT(0, PathAppendA),
    WINSIM_EXPORT(0, PathRemoveFileSpecA),
    WINSIM_EXPORT(0, PathIsRelativeA),
    WINSIM_EXPORT(0, PathFileExistsA),
    WINSIM_EXPORT(1, GetFileVersionInfoSizeA),
    WINSIM_EXPORT(1, GetFileVersionInfoA),
    WINSIM_EXPORT(1, VerQueryValueA),
    WINSIM_EXPORT(2, DwmGetWindowAttribute),
    WINSIM_EXPORT(3, GetNamedSecurityInfoA),
    WINSIM_EXPORT(3, OpenProcessToken),
    WINSIM_EXPORT(3, GetTokenInformation),
    WINSIM_EXPORT(3, ConvertSidToStringSidA),
    WINSIM_EXPORT(3, ConvertStringSecurityDescriptorToSecurityDescriptorA),
    WINSIM_EXPORT(3, GetSecurityInfo),
    WINSIM_EXPORT(KERNEL32, AddIntegrityLabelToBoundaryDescriptor),
    WINSIM_EXPORT(KERNEL32, AddSIDToBoundaryDescriptor),
    WINSIM_EXPORT(KERNEL32, CloseHandle),
    WINSIM_EXPORT(KERNEL32, ClosePrivateNamespace),
    WINSIM_EXPORT(KERNEL32, CreateBoundaryDescriptorA),
    WINSIM_EXPORT(KERNEL32, CreatePrivateNamespaceA),
    WINSIM_EXPORT(KERNEL32, CreateProcessA),
    WINSIM_EXPORT(KERNEL32, DeleteBoundaryDescriptor),
    WINSIM_EXPORT(KERNEL32, GetCommandLineA),
    WINSIM_EXPORT(KERNEL32, GetCurrentProcess),
    WINSIM_EXPORT(KERNEL32, GetFileAttributesA),
    WINSIM_EXPORT(KERNEL32, GetModuleFileNameA),
    WINSIM_EXPORT(KERNEL32, GetModuleFileNameW),
    WINSIM_EXPORT(KERNEL32, GetShortPathNameW),
    WINSIM_EXPORT(KERNEL32, WideCharToMultiByte),
    WINSIM_EXPORT(KERNEL32, IsWow64Process),
    WINSIM_EXPORT(KERNEL32, OpenPrivateNamespaceA),
    WINSIM_EXPORT(KERNEL32, QueryFullProcessImageNameA),
    WINSIM_EXPORT(KERNEL32, WaitForSingleObject),
    WINSIM_EXPORT(USER32, PhysicalToLogicalPointForPerMonitorDPI),
    WINSIM_EXPORT(SHELL32, SHGetFolderPathW),
};

std::mutex librariesLock;
int loadCount[LIBRARY_COUNT];
bool missing[LIBRARY_COUNT];

// "C:\\WINDOWS\\system32\\SHLWAPI.DLL", "shlwapi" and "shlwapi.dll" all
// name shlwapi.dll: the folder is dropped and a name without an extension
// gets ".dll".
std::string libraryFileName(const char *name) {
  const char *base = name;
  for (const char *c = name; *c; ++c) {
    if (*c == '\\' || *c == '/') base = c + 1;
  }
  std::string file = base;
  if (file.find('.') == std::string::npos) file += ".dll";
  return file;
}

int libraryNamed(const char *name) {
  if (!name) return -1;
  std::string file = libraryFileName(name);
  for (int i = 0; i < LIBRARY_COUNT; ++i) {
    if (strcasecmp(file.c_str(), LIBRARIES[i].name) == 0) return i;
  }
  return -1;
}

// A handle counts only while its library is loaded.
int loadedLibrary(HMODULE module) {
  for (int i = 0; i < LIBRARY_COUNT; ++i) {
    if (LIBRARIES[i].handle == module && (loadCount[i] > 0 || alwaysLoaded(i))) return i;
  }
  return -1;
}

}  // namespace

namespace winsim {

HMODULE loadedSystemLibrary(const char *name) {
  int library = libraryNamed(name);
  std::lock_guard<std::mutex> guard(librariesLock);
  if (alwaysLoaded(library) || (library >= 0 && loadCount[library] > 0))
    return LIBRARIES[library].handle;
  return NULL;
}

void makeEveryLibraryPresent() {
  std::lock_guard<std::mutex> guard(librariesLock);
  for (bool &gone : missing) gone = false;
}

}  // namespace winsim

extern "C" {

HMODULE WINAPI LoadLibraryA(LPCSTR name) {
  std::lock_guard<std::mutex> guard(librariesLock);
  int library = libraryNamed(name);
  if (library < 0 || (missing[library] && loadCount[library] == 0)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return NULL;
  }
  ++loadCount[library];
  return LIBRARIES[library].handle;
}

// Functions are found by name only; an ordinal finds nothing.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  std::lock_guard<std::mutex> guard(librariesLock);
  int library = loadedLibrary(module);
  if (library < 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return NULL;
  }
  if ((uintptr_t)name > 0xFFFF) {
    for (const Export &entry : EXPORTS) {
      if (entry.library != library || strcmp(entry.name, name) != 0) continue;
      if (entry.address == (FARPROC)(void *)&IsWow64Process && !winsim::hasIsWow64Process()) break;
      return entry.address;
    }
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return NULL;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
  std::lock_guard<std::mutex> guard(librariesLock);
  int library = loadedLibrary(module);
  if (library < 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  --loadCount[library];
  return TRUE;
}

void winsimSetLibraryPresent(LPCSTR name, BOOL present) {
  std::lock_guard<std::mutex> guard(librariesLock);
  int library = libraryNamed(name);
  if (library >= 0 && !alwaysLoaded(library)) missing[library] = !present;
}

int winsimLibraryLoadCount(LPCSTR name) {
  std::lock_guard<std::mutex> guard(librariesLock);
  int library = libraryNamed(name);
  return library >= 0 ? loadCount[library] : 0;
}

}  // extern "C"
