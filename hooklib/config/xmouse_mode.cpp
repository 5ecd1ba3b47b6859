// Off, simulated mouse activation, or the system's own active window
// tracking when the shell is new enough to offer it.
#include "config/xmouse_mode.h"

#include <windows.h>

#include "config/loader_state.h"
#include "config/options.h"
#include "system/delay_loaded.h"

namespace {

// The file version of shell32.dll as major and minor; 0 when it cannot be
// read (no such file, no version resource, a malformed one, no VERSION
// library).
int readShellVersion(unsigned *major, unsigned *minor) {
  char path[MAX_PATH];
  DWORD found = SearchPathA(NULL, "shell32.dll", NULL, 256, path, NULL);
  if (found == 0 || found >= 256) return 0;
  DWORD ignored = 0;
  DWORD size = delayLoaded::GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return 0;
  void *block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
  if (!block) return 0;
  int known = 0;
  VS_FIXEDFILEINFO *info = NULL;
  UINT length = 0;
  if (delayLoaded::GetFileVersionInfoA(path, 0, size, block) &&
      delayLoaded::VerQueryValueA(block, "\\", (LPVOID *)&info, &length) && info &&
      length >= sizeof(VS_FIXEDFILEINFO) && info->dwSignature == VS_FFI_SIGNATURE) {
    *major = HIWORD(info->dwFileVersionMS);
    *minor = LOWORD(info->dwFileVersionMS);
    known = 1;
  }
  HeapFree(GetProcessHeap(), 0, block);
  return known;
}

}  // namespace

// The shell's active window tracking came with version 4.71 (a 4.x shell
// with a non-zero minor version) and stayed in every later shell.
int shellVersionHasWindowTracking(unsigned major, unsigned minor) {
  if (major >= 5) return 1;
  return major == 4 && minor != 0;
}

int chooseXmouseMode(void) {
  int mode = XMOUSE_OFF;
  if (readOption(OPTION_USE_XMOUSE) != 0) {
    mode = XMOUSE_SIMULATED;
    unsigned major = 0;
    unsigned minor = 0;
    if (readShellVersion(&major, &minor) && shellVersionHasWindowTracking(major, minor)) {
      mode = XMOUSE_SYSTEM_TRACKING;
    }
  }
  if (readOption(OPTION_SIMULATE_MOUSEACTIVATE) != 0) mode = XMOUSE_SIMULATED;
  return mode;
}
