// The last-error value, kept per thread as Windows keeps it.
#include "errors.h"

#include <windows.h>

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

namespace winsim {
namespace {

thread_local DWORD lastError = 0;

bool parentFolderExists(const char *hostPath) {
  std::string path(hostPath);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return true;  // relative: the current folder
  std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
  struct stat info;
  return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

DWORD win32ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    default:
      return ERROR_GEN_FAILURE;
  }
}

DWORD win32ErrorForPath(int error, const char *hostPath) {
  if (error == ENOENT && !parentFolderExists(hostPath)) return ERROR_PATH_NOT_FOUND;
  return win32ErrorFromErrno(error);
}

}  // namespace winsim

extern "C" {

DWORD WINAPI GetLastError(void) { return winsim::lastError; }

void WINAPI SetLastError(DWORD code) { winsim::lastError = code; }

}  // extern "C"
