// Where things are: full path names, the temporary folder and the current
// folder. Host paths use '/'; the rules for lengths and buffers are
// Windows' own.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "host_paths.h"

extern "C" {

DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR *filePart) {
  if (!name || !name[0]) return 0;
  std::string full = winsim::fullHostPath(winsim::forwardSlashes(name));
  DWORD result = winsim::copyPathResult(full, buffer, size);
  if (buffer && result < size && filePart) {
    size_t slash = full.rfind('/');
    bool endsInSeparator = slash == full.size() - 1;
    *filePart = endsInSeparator ? NULL : buffer + slash + 1;
  }
  return result;
}

DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer) {
  const char *folder = getenv("TMPDIR");
  std::string path = folder && folder[0] == '/' ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return winsim::copyPathResult(path, buffer, size);
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  std::string path = winsim::absoluteHostPath(".");
  return winsim::copyPathResult(path, buffer, size);
}

}  // extern "C"
