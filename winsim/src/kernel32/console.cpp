// The console. By default the program has none: its standard handles are
// files or pipes, and GetConsoleMode fails for them ("If the function
// fails [for a handle that is no console handle]..."), as it does for a
// redirected stream. winsimSetConsole(TRUE) gives standard output and
// error a console, which keeps what WriteConsoleW writes (winsimConsoleText).
#include <windows.h>

#include <mutex>
#include <string>

#include "host_paths.h"
#include "winsim/control_kernel.h"

namespace {

// Pseudo handles of the standard streams; never closed.
HANDLE const STANDARD[3] = {(HANDLE)(intptr_t)0x3A0, (HANDLE)(intptr_t)0x3A4,
                            (HANDLE)(intptr_t)0x3A8};

std::mutex consoleLock;
bool hasConsole = false;
std::string written;  // UTF-8

bool isStandard(HANDLE handle) { return handle == STANDARD[1] || handle == STANDARD[2]; }

}  // namespace

extern "C" {

HANDLE WINAPI GetStdHandle(DWORD which) {
  if (which == STD_INPUT_HANDLE) return STANDARD[0];
  if (which == STD_OUTPUT_HANDLE) return STANDARD[1];
  if (which == STD_ERROR_HANDLE) return STANDARD[2];
  SetLastError(ERROR_INVALID_HANDLE);
  return INVALID_HANDLE_VALUE;
}

BOOL WINAPI GetConsoleMode(HANDLE console, LPDWORD mode) {
  std::lock_guard<std::mutex> hold(consoleLock);
  if (!hasConsole || !isStandard(console) || !mode) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *mode = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT;
  return TRUE;
}

BOOL WINAPI WriteConsoleW(HANDLE console, const void *buffer, DWORD count, LPDWORD written_,
                          LPVOID) {
  std::lock_guard<std::mutex> hold(consoleLock);
  if (!hasConsole || !isStandard(console) || !buffer) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  written += winsim::utf8FromWide(std::wstring((const WCHAR *)buffer, count));
  if (written_) *written_ = count;
  return TRUE;
}

void winsimSetConsole(BOOL console) {
  std::lock_guard<std::mutex> hold(consoleLock);
  hasConsole = console != FALSE;
  written.clear();
}

const char *winsimConsoleText(void) {
  std::lock_guard<std::mutex> hold(consoleLock);
  static std::string copy;
  copy = written;
  return copy.c_str();
}

}  // extern "C"
