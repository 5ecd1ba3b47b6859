// Folders and file attributes.
#include <windows.h>

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "errors.h"
#include "host_paths.h"

namespace {

BOOL failFor(int error, const std::string &path) {
  SetLastError(winsim::win32ErrorForPath(error, path.c_str()));
  return FALSE;
}

BOOL createDirectoryAt(const std::string &path) {
  if (mkdir(path.c_str(), 0777) != 0) {
    // Windows names a missing parent ERROR_PATH_NOT_FOUND, never "file".
    if (errno == ENOENT) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return FALSE;
    }
    return failFor(errno, path);
  }
  return TRUE;
}

DWORD fileAttributesAt(const std::string &path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    failFor(errno, path);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  if (!(info.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

}  // namespace

extern "C" {

BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES) {
  std::string path;
  return winsim::hostPathFor(name, &path) && createDirectoryAt(path);
}

BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES) {
  std::string path;
  return winsim::hostPathForWide(name, &path) && createDirectoryAt(path);
}

BOOL WINAPI RemoveDirectoryA(LPCSTR name) {
  std::string path;
  if (!winsim::hostPathFor(name, &path)) return FALSE;
  if (rmdir(path.c_str()) != 0) {
    if (errno == ENOTDIR) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    return failFor(errno, path);
  }
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR name) {
  std::string path;
  if (!winsim::hostPathFor(name, &path)) return INVALID_FILE_ATTRIBUTES;
  return fileAttributesAt(path);
}

DWORD WINAPI GetFileAttributesW(LPCWSTR name) {
  std::string path;
  if (!winsim::hostPathForWide(name, &path)) return INVALID_FILE_ATTRIBUTES;
  return fileAttributesAt(path);
}

}  // extern "C"
