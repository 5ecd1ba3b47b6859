// Files made, moved and marked as a careful writer uses them: a temporary
// name beside a file (GetTempFileNameA), a move that replaces the file in
// one step (MoveFileExA), and the read-only attribute (SetFileAttributesA).
#include <windows.h>

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <string>

#include "errors.h"
#include "file_sharing.h"
#include "host_paths.h"

namespace {

const DWORD ALL_SHARING = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

BOOL fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// A file may be moved or replaced only when every open of it shares
// deletion, as DeleteFileA asks.
DWORD sharingForRemoval(const std::string &hostPath) {
  return winsim::checkFileSharing(hostPath.c_str(), winsim::RIGHT_DELETE, ALL_SHARING);
}

}  // namespace

extern "C" {

// "If the destination is an existing file and MOVEFILE_REPLACE_EXISTING is
// not given, the function fails (ERROR_ALREADY_EXISTS)"; a read-only
// destination is not replaced (ERROR_ACCESS_DENIED), nor is a file that a
// handle holds without FILE_SHARE_DELETE (ERROR_SHARING_VIOLATION). The
// move is one rename: a reader sees the old file or the new one.
BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR replaced, DWORD flags) {
  std::string from, to;
  if (!winsim::hostPathFor(existing, &from) || !winsim::hostPathFor(replaced, &to)) return FALSE;
  struct stat source, target;
  if (stat(from.c_str(), &source) != 0) return fail(winsim::win32ErrorForPath(errno, from.c_str()));
  if (stat(to.c_str(), &target) == 0) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return fail(ERROR_ALREADY_EXISTS);
    if (S_ISDIR(target.st_mode) || !(target.st_mode & S_IWUSR)) return fail(ERROR_ACCESS_DENIED);
    if (DWORD sharing = sharingForRemoval(to)) return fail(sharing);
  }
  if (DWORD sharing = sharingForRemoval(from)) return fail(sharing);
  if (rename(from.c_str(), to.c_str()) != 0) {
    return fail(winsim::win32ErrorForPath(errno, to.c_str()));
  }
  return TRUE;
}

// "<path>\<pre><uuuu>.TMP", the first name from the clock's count on that
// no file has yet, created empty; the number used, or 0. "lpPathName ...
// cannot be longer than MAX_PATH–14 characters or GetTempFileName will
// fail"; a folder that does not exist gives ERROR_DIRECTORY.
UINT WINAPI GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR name) {
  std::string base = folder ? folder : "";
  if (!name || base.empty() || base.size() > MAX_PATH - 14) return fail(ERROR_INVALID_PARAMETER);
  std::string hostFolder;
  struct stat info;
  if (!winsim::hostPathFor(folder, &hostFolder)) return 0;
  if (stat(hostFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return fail(ERROR_DIRECTORY);
  char last = base[base.size() - 1];
  if (last != '\\' && last != '/') base += '\\';
  base += std::string(prefix ? prefix : "").substr(0, 3);
  UINT number = unique ? unique & 0xFFFF : (UINT)(time(NULL) & 0xFFFF);
  for (int tries = 0; tries < 0x10000; ++tries, number = (number + 1) & 0xFFFF) {
    if (!number) continue;
    char digits[8];
    snprintf(digits, sizeof digits, "%X", number);
    std::string candidate = base + digits + ".TMP";
    if (candidate.size() >= MAX_PATH) return fail(ERROR_BUFFER_OVERFLOW);
    DWORD disposition = unique ? CREATE_ALWAYS : CREATE_NEW;
    if (unique) {  // "the function does not create the specified file"
      memcpy(name, candidate.c_str(), candidate.size() + 1);
      return number;
    }
    HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, NULL, disposition,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return 0;
    }
    CloseHandle(file);
    memcpy(name, candidate.c_str(), candidate.size() + 1);
    return number;
  }
  return fail(ERROR_FILE_EXISTS);
}

// Only the read-only attribute has a meaning here: it takes the host
// file's write permissions away, and gives them back.
BOOL WINAPI SetFileAttributesA(LPCSTR name, DWORD attributes) {
  std::string path;
  if (!winsim::hostPathFor(name, &path)) return FALSE;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return fail(winsim::win32ErrorForPath(errno, path.c_str()));
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & FILE_ATTRIBUTE_READONLY) ? mode & ~0222u : mode | 0200u;
  if (chmod(path.c_str(), mode) != 0) return fail(winsim::win32ErrorFromErrno(errno));
  return TRUE;
}

}  // extern "C"
