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
//
// The bare name is found as the system loads the DLL ("If a full path is
// not specified, the function uses the search sequence specified by the
// LoadLibrary function"), where shell32.dll, a known DLL, is always the
// system folder's: no copy of it beside the daemon is read, and no path
// needs to be spelt in the ANSI code page.
const char shellFile[] = "shell32.dll";

int readShellVersion(unsigned *major, unsigned *minor) {
  DWORD ignored = 0;
  DWORD size = delayLoaded::GetFileVersionInfoSizeA(shellFile, &ignored);
  if (size == 0) return 0;
  void *block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
  if (!block) return 0;
  int known = 0;
  VS_FIXEDFILEINFO *info = NULL;
  UINT length = 0;
  if (delayLoaded::GetFileVersionInfoA(shellFile, 0, size, block) &&
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
