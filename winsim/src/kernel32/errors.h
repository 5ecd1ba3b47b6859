// Turning the host's errno values into the Win32 error codes that the
// kernel functions report through SetLastError.
#pragma once

#include <windows.h>

namespace winsim {

DWORD win32ErrorFromErrno(int error);

// ENOENT means ERROR_FILE_NOT_FOUND when the folder of `hostPath` exists and
// ERROR_PATH_NOT_FOUND when it does not, as Windows tells the two apart.
DWORD win32ErrorForPath(int error, const char *hostPath);

}  // namespace winsim
