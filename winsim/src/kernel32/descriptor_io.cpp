#include "descriptor_io.h"

#include <windows.h>

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include "errors.h"

namespace winsim {

DWORD readAll(int descriptor, std::string *bytes) {
  struct stat info;
  if (fstat(descriptor, &info) != 0) return win32ErrorFromErrno(errno);
  if (S_ISDIR(info.st_mode)) return ERROR_ACCESS_DENIED;
  bytes->clear();
  bytes->reserve((size_t)info.st_size);
  char chunk[65536];
  for (;;) {
    ssize_t got = read(descriptor, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return win32ErrorFromErrno(errno);
    if (got == 0) return 0;
    bytes->append(chunk, (size_t)got);
  }
}

bool writeAll(int descriptor, const void *data, size_t size) {
  const char *next = (const char *)data;
  size_t done = 0;
  while (done < size) {
    ssize_t put = write(descriptor, next + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    done += (size_t)put;
  }
  return true;
}

}  // namespace winsim
