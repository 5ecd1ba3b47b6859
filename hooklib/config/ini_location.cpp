#include "config/ini_location.h"

#include <windows.h>

#include "config/loader_state.h"
#include "system/delay_loaded.h"

namespace {

const char iniFileName[] = "vorn.ini";

// Copies `candidate` into iniPath when it fits; a path that does not fit
// could only be opened cut short, so it counts as not found.
int takeCandidate(const char *candidate) {
  if (lstrlenA(candidate) >= (int)sizeof iniPath) return 0;
  lstrcpyA(iniPath, candidate);
  return 1;
}

// Each candidate is built in a MAX_PATH buffer, as the path functions
// expect, and only then copied into the 256-character iniPath: `folder`
// with vorn.ini appended, opened.
HANDLE tryFolder(char *folder) {
  if (!delayLoaded::PathAppendA(folder, iniFileName) || !takeCandidate(folder)) {
    return INVALID_HANDLE_VALUE;
  }
  return openConfigurationFile(iniPath);
}

HANDLE tryWindowsDirectory() {
  char candidate[MAX_PATH];
  UINT length = GetWindowsDirectoryA(candidate, 256);
  if (length == 0 || length >= 256) return INVALID_HANDLE_VALUE;
  return tryFolder(candidate);
}

HANDLE tryProgramDirectory() {
  char candidate[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, candidate, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  delayLoaded::PathRemoveFileSpecA(candidate);
  return tryFolder(candidate);
}

}  // namespace

HANDLE openConfigurationFile(const char *path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, NULL);
}

HANDLE locateConfigurationFile(void) {
  HANDLE file = tryWindowsDirectory();
  if (file != INVALID_HANDLE_VALUE) return file;
  return tryProgramDirectory();
}
