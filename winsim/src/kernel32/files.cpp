// File handles over host file descriptors: CreateFileA with Windows'
// dispositions, share modes and error codes, and synchronous reads and
// writes.
#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "errors.h"
#include "file_sharing.h"
#include "handles.h"
#include "host_paths.h"

namespace {

struct OpenFile {
  int descriptor;
  unsigned rights;
  winsim::FileReservation *reservation;
};

void closeFile(void *object) {
  OpenFile *file = (OpenFile *)object;
  close(file->descriptor);
  winsim::releaseFile(file->reservation);
  delete file;
}

const winsim::HandleKind fileKind = {"file", closeFile};

const DWORD GENERIC_ALL_BIT = 0x10000000u;
const DWORD FILE_READ_DATA_BIT = 0x0001u;
const DWORD FILE_WRITE_DATA_BIT = 0x0002u;
const DWORD FILE_APPEND_DATA_BIT = 0x0004u;
const DWORD DELETE_BIT = 0x00010000u;

unsigned rightsFor(DWORD access) {
  unsigned rights = 0;
  if (access & (GENERIC_READ | GENERIC_ALL_BIT | FILE_READ_DATA_BIT)) {
    rights |= winsim::RIGHT_READ;
  }
  if (access & (GENERIC_WRITE | GENERIC_ALL_BIT | FILE_WRITE_DATA_BIT | FILE_APPEND_DATA_BIT)) {
    rights |= winsim::RIGHT_WRITE;
  }
  if (access & (DELETE_BIT | GENERIC_ALL_BIT)) rights |= winsim::RIGHT_DELETE;
  return rights;
}

int openFlagsFor(unsigned rights, DWORD disposition) {
  int flags = O_CLOEXEC;
  if ((rights & winsim::RIGHT_READ) && (rights & winsim::RIGHT_WRITE)) {
    flags |= O_RDWR;
  } else if (rights & winsim::RIGHT_WRITE) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
  if (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) flags |= O_CREAT;
  return flags;
}

bool validDisposition(DWORD disposition) {
  return disposition >= CREATE_NEW && disposition <= TRUNCATE_EXISTING;
}

bool truncates(DWORD disposition) {
  return disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
}

HANDLE failWith(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

// Opens the host file; a new file gets read-only permissions when asked
// to carry FILE_ATTRIBUTE_READONLY.
int openHostFile(const std::string &path, int flags, DWORD attributes) {
  mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  return open(path.c_str(), flags, mode);
}

HANDLE finishOpen(int descriptor, unsigned rights, DWORD share, DWORD disposition, bool existed) {
  struct stat info;
  fstat(descriptor, &info);
  winsim::FileReservation *reservation = winsim::reserveFile(info, rights, share);
  if (!reservation) {
    close(descriptor);
    return failWith(ERROR_SHARING_VIOLATION);
  }
  if (existed && truncates(disposition) && ftruncate(descriptor, 0) != 0) {
    int error = errno;
    close(descriptor);
    winsim::releaseFile(reservation);
    return failWith(winsim::win32ErrorFromErrno(error));
  }
  HANDLE handle = winsim::newHandle(&fileKind, new OpenFile{descriptor, rights, reservation});
  bool reportsExisting = existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
  SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

OpenFile *fileFor(HANDLE handle) {
  OpenFile *file = (OpenFile *)winsim::handleObject(handle, &fileKind);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

HANDLE createFileAt(const std::string &path, DWORD access, DWORD share, DWORD disposition,
                    DWORD flags) {
  struct stat before;
  bool existed = stat(path.c_str(), &before) == 0;
  // Windows refuses to open a folder as a file unless asked for backup
  // semantics, which winsim does not offer.
  if (existed && S_ISDIR(before.st_mode)) return failWith(ERROR_ACCESS_DENIED);
  if (existed && disposition == CREATE_NEW) return failWith(ERROR_FILE_EXISTS);
  unsigned rights = rightsFor(access);
  // FILE_ATTRIBUTE_READONLY: "Applications can read the file, but cannot
  // write to it or delete it." An open that would write one fails, also for
  // a user (root here) whom the host's permissions would let write.
  bool writes = (rights & winsim::RIGHT_WRITE) || truncates(disposition);
  if (existed && writes && !(before.st_mode & S_IWUSR)) return failWith(ERROR_ACCESS_DENIED);
  // A truncating open needs write access to the file whatever it asked for.
  int openFlags =
      openFlagsFor(truncates(disposition) ? rights | winsim::RIGHT_WRITE : rights, disposition);
  int descriptor = openHostFile(path, openFlags, flags);
  if (descriptor < 0) {
    int error = errno;
    if (error == EEXIST) return failWith(ERROR_FILE_EXISTS);
    return failWith(winsim::win32ErrorForPath(error, path.c_str()));
  }
  return finishOpen(descriptor, rights, share, disposition, existed);
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD flags, HANDLE) {
  if (!validDisposition(disposition)) return failWith(ERROR_INVALID_PARAMETER);
  std::string path;
  if (!winsim::hostPathFor(name, &path)) return INVALID_HANDLE_VALUE;
  return createFileAt(path, access, share, disposition, flags);
}

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD flags, HANDLE) {
  if (!validDisposition(disposition)) return failWith(ERROR_INVALID_PARAMETER);
  std::string path;
  if (!winsim::hostPathForWide(name, &path)) return INVALID_HANDLE_VALUE;
  return createFileAt(path, access, share, disposition, flags);
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read,
                     LPOVERLAPPED overlapped) {
  if (read) *read = 0;
  OpenFile *file = fileFor(handle);
  if (!file) return FALSE;
  if (overlapped) {
    SetLastError(ERROR_NOT_SUPPORTED);  // winsim's files are synchronous only
    return FALSE;
  }
  if (!(file->rights & winsim::RIGHT_READ)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  DWORD done = 0;
  while (done < toRead) {
    ssize_t got = ::read(file->descriptor, (char *)buffer + done, toRead - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetLastError(winsim::win32ErrorFromErrno(errno));
      return FALSE;
    }
    if (got == 0) break;  // end of file: success with fewer bytes
    done += (DWORD)got;
  }
  if (read) *read = done;
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                      LPOVERLAPPED overlapped) {
  if (written) *written = 0;
  OpenFile *file = fileFor(handle);
  if (!file) return FALSE;
  if (overlapped) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (!(file->rights & winsim::RIGHT_WRITE)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  DWORD done = 0;
  while (done < toWrite) {
    ssize_t put = ::write(file->descriptor, (const char *)buffer + done, toWrite - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) {
      SetLastError(winsim::win32ErrorFromErrno(errno));
      if (written) *written = done;
      return FALSE;
    }
    done += (DWORD)put;
  }
  if (written) *written = done;
  return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
  OpenFile *file = fileFor(handle);
  struct stat info;
  if (!file || fstat(file->descriptor, &info) != 0) {
    if (file) SetLastError(winsim::win32ErrorFromErrno(errno));
    return INVALID_FILE_SIZE;
  }
  uint64_t size = (uint64_t)info.st_size;
  if (sizeHigh) *sizeHigh = (DWORD)(size >> 32);
  // A size whose low half looks like the error value is told apart by the
  // last error being cleared.
  if ((DWORD)size == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return (DWORD)size;
}

BOOL WINAPI FlushFileBuffers(HANDLE handle) {
  OpenFile *file = fileFor(handle);
  if (!file) return FALSE;
  // "The function fails if hFile is a handle to the console output" or was
  // opened without GENERIC_WRITE: ERROR_ACCESS_DENIED.
  if (!(file->rights & winsim::RIGHT_WRITE)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (fsync(file->descriptor) != 0) {
    SetLastError(winsim::win32ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

}  // extern "C"

static BOOL deleteFileAt(const std::string &path);

extern "C" {

BOOL WINAPI DeleteFileA(LPCSTR name) {
  std::string path;
  return winsim::hostPathFor(name, &path) && deleteFileAt(path);
}

BOOL WINAPI DeleteFileW(LPCWSTR name) {
  std::string path;
  return winsim::hostPathForWide(name, &path) && deleteFileAt(path);
}

}  // extern "C"

static BOOL deleteFileAt(const std::string &path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) {
    SetLastError(winsim::win32ErrorForPath(errno, path.c_str()));
    return FALSE;
  }
  if (S_ISDIR(info.st_mode) || !(info.st_mode & S_IWUSR)) {
    SetLastError(ERROR_ACCESS_DENIED);  // a folder, or a read-only file
    return FALSE;
  }
  DWORD sharing = winsim::checkFileSharing(path.c_str(), winsim::RIGHT_DELETE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (sharing) {
    SetLastError(sharing);
    return FALSE;
  }
  if (unlink(path.c_str()) != 0) {
    SetLastError(winsim::win32ErrorForPath(errno, path.c_str()));
    return FALSE;
  }
  return TRUE;
}

extern "C" {}  // extern "C"
