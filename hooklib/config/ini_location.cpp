#include "config/ini_location.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <shlobj.h>

#include "config/loader_state.h"
#include "system/delay_loaded.h"

namespace {

// The names below each place's folder: %APPDATA% holds vorn's own folder,
// the others the file itself (the tail from its second separator).
const WCHAR placeTail[] = L"\\vorn\\vorn.ini";
const int FILE_TAIL = 5;

// The folder of `place`, or for the program's folder the program file,
// into `path` (MAX_PATH characters); 0 when there is none. The counts
// check both a failure (0) and a name that did not fit (MAX_PATH or more).
int placeFolder(int place, const WCHAR *program, WCHAR *path) {
  if (place == PLACE_WINDOWS_DIRECTORY) {
    return GetWindowsDirectoryW(path, MAX_PATH) - 1u < MAX_PATH - 1u;
  }
  // The documented source: the shell's folder, not the environment, which
  // whoever starts the program chooses.
  if (place == PLACE_APPDATA) {
    return SUCCEEDED(
        delayLoaded::SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, path));
  }
  if (!program) return GetModuleFileNameW(NULL, path, MAX_PATH) - 1u < MAX_PATH - 1u;
  for (WCHAR *to = path; (*to++ = *program++) != 0;) {
  }
  return 1;
}

// `path` in the ANSI code page into `ansi` (256 bytes); 0 when a character
// is missing there or it does not fit. No best fit: a character merely
// like another would name another file. UTF-8 as the ANSI code page takes
// neither the flag nor the question, and has every character: it is asked
// again without them.
int inAnsiCodePage(const WCHAR *path, char *ansi) {
  BOOL lossy = FALSE;
  for (BOOL *question = &lossy;; question = NULL) {
    if (WideCharToMultiByte(CP_ACP, question ? WC_NO_BEST_FIT_CHARS : 0, path, -1, ansi, 256, NULL,
                            question)) {
      return !lossy;
    }
    if (!question) return 0;
  }
}

}  // namespace

HANDLE openConfigurationFile(const char *path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, NULL);
}

// The tail goes at the folder's end, or for a program file over its last
// separator. It is added without a check: `path` has room for it, and a
// path too long for iniPath fails its conversion.
int configurationPathIn(int place, const WCHAR *program, WCHAR *path) {
  if (!placeFolder(place, program, path)) return 0;
  WCHAR *at = NULL;
  WCHAR *end = path;
  for (; *end; ++end) {
    if (*end == '\\' || *end == '/') at = end;
  }
  if (place != PLACE_PROGRAM_FOLDER) at = end;
  if (!at) return 0;
  for (const WCHAR *tail = placeTail + (place == PLACE_APPDATA ? 0 : FILE_TAIL);
       (*at++ = *tail++) != 0;) {
  }
  return 1;
}

// The short name is asked for in place, as GetShortPathNameW allows.
int openablePath(WCHAR *path, char *ansi) {
  for (int round = 0;; ++round) {
    if (inAnsiCodePage(path, ansi)) return 1;
    if (round || GetShortPathNameW(path, path, MAX_PATH) - 1u >= MAX_PATH - 1u) return 0;
  }
}

HANDLE locateConfigurationFile(const WCHAR *program) {
  for (int place = 0; place < PLACE_COUNT; ++place) {
    WCHAR path[PLACE_PATH_SIZE];
    if (configurationPathIn(place, program, path) && openablePath(path, iniPath)) {
      HANDLE file = openConfigurationFile(iniPath);
      if (file != INVALID_HANDLE_VALUE) return file;
    }
  }
  return INVALID_HANDLE_VALUE;
}
