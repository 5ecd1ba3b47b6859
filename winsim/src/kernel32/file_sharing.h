// Share modes: which opens of one file may coexist. Every open file handle
// holds a reservation here; the profile functions and DeleteFileA check
// against the reservations as if they opened the file themselves.
#pragma once

#include <windows.h>

#include <sys/stat.h>

namespace winsim {

// What an open may do to a file, reduced to the three rights that share
// modes govern.
enum FileRight { RIGHT_READ = 1, RIGHT_WRITE = 2, RIGHT_DELETE = 4 };

struct FileReservation;

// Registers an open of the file described by `info` with `rights` and
// `share` (FILE_SHARE_* bits). NULL when an existing open forbids it.
FileReservation *reserveFile(const struct stat &info, unsigned rights, DWORD share);
void releaseFile(FileReservation *reservation);

// ERROR_SHARING_VIOLATION when the file at `hostPath` is open in a way that
// forbids an open with `rights` and `share`; 0 otherwise (also when the
// file does not exist).
DWORD checkFileSharing(const char *hostPath, unsigned rights, DWORD share);

}  // namespace winsim
