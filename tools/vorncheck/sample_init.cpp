#include "sample_init.h"

#include <windows.h>

#include <string.h>
#include <wchar.h>

#include "config/ini_location.h"
#include "console_text.h"
#include "sample_ini.h"

namespace {

// `path` as it is printed: as the A functions name it, or its short name
// where the code page lacks a character.
void printable(const WCHAR *path, char *text) {
  WCHAR copy[PLACE_PATH_SIZE];
  memcpy(copy, path, sizeof copy);
  openablePath(copy, text);
}

// Whether the daemon would load another file first: one in the Windows
// directory comes before %APPDATA%.
bool windowsDirectoryHasOne(char *shown) {
  WCHAR path[PLACE_PATH_SIZE];
  if (!configurationPathIn(PLACE_WINDOWS_DIRECTORY, NULL, path)) return false;
  DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  printable(path, shown);
  return true;
}

// Made only where nothing is (CREATE_NEW): an existing file, or anything
// put there meanwhile, stays as it is.
DWORD writeNew(const WCHAR *path) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD written = 0;
  BOOL whole = WriteFile(file, SAMPLE_INI, sizeof SAMPLE_INI, &written, NULL) &&
               written == sizeof SAMPLE_INI;
  DWORD error = whole ? ERROR_SUCCESS : GetLastError();
  if (!CloseHandle(file) && whole) error = GetLastError();
  if (error != ERROR_SUCCESS) DeleteFileW(path);  // no half sample left behind
  return error;
}

}  // namespace

int writeSampleConfiguration(FILE *out) {
  WCHAR path[PLACE_PATH_SIZE];
  if (!configurationPathIn(PLACE_APPDATA, NULL, path)) {
    consolePrintf(stderr, "vorncheck: the system does not tell where %%APPDATA%% is\n");
    return 2;
  }
  WCHAR folder[PLACE_PATH_SIZE];
  memcpy(folder, path, sizeof folder);
  *wcsrchr(folder, L'\\') = 0;
  CreateDirectoryW(folder, NULL);  // there already is as good
  DWORD error = writeNew(path);
  char shown[MAX_PATH] = "";
  printable(path, shown);
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
    consolePrintf(out, "%s is there already: left as it is\n", shown);
  } else if (error != ERROR_SUCCESS) {
    consolePrintf(stderr, "vorncheck: cannot write %s (error %lu)\n", shown, (unsigned long)error);
    return 2;
  } else {
    consolePrintf(
        out, "wrote the annotated sample to %s: keep your rules there, no upgrade touches it\n",
        shown);
  }
  char first[MAX_PATH] = "";
  if (windowsDirectoryHasOne(first)) {
    consolePrintf(out, "note: the daemon loads %s first, while it is there\n", first);
  }
  return 0;
}
