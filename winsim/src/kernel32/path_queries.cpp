// Where things are: full path names, the temporary folder and the current
// folder. Host paths use '/'; the rules for lengths and buffers are
// Windows' own.
#include <windows.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <string.h>

#include <string>

#include "host_paths.h"

extern "C" {

DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR *filePart) {
  if (!name || !name[0]) return 0;
  std::string full = winsim::fullHostPath(winsim::forwardSlashes(winsim::utf8FromAnsi(name)));
  DWORD result = winsim::copyPathResult(full, buffer, size);
  if (buffer && result < size && filePart) {
    char *slash = strrchr(buffer, '/');
    *filePart = !slash || !slash[1] ? NULL : slash + 1;
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

extern "C" {

// "If the specified path has no short form, [GetShortPathName returns]
// the long path"; the file must exist.
DWORD WINAPI GetShortPathNameW(LPCWSTR longPath, LPWSTR buffer, DWORD size) {
  std::string path;
  if (!winsim::hostPathForWide(longPath, &path)) return 0;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  return winsim::copyWidePathResult(winsim::shortPathOf(path), buffer, size);
}

DWORD WINAPI GetLongPathNameW(LPCWSTR shortPath, LPWSTR buffer, DWORD size) {
  std::string path;
  if (!winsim::hostPathForWide(shortPath, &path)) return 0;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  return winsim::copyWidePathResult(path, buffer, size);
}

DWORD WINAPI GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR *filePart) {
  if (!name || !name[0]) return 0;
  std::string full = winsim::fullHostPath(winsim::forwardSlashes(winsim::utf8FromWide(name)));
  DWORD result = winsim::copyWidePathResult(full, buffer, size);
  if (buffer && result < size && filePart) {
    size_t slash = winsim::wideFromUtf8(full).rfind(L'/');
    *filePart = slash == std::wstring::npos || buffer[slash + 1] == 0 ? NULL : buffer + slash + 1;
  }
  return result;
}

}  // extern "C"
