// Where vorn.ini is: the Windows directory first, then the folder of the
// program that loads the configuration (the daemon).
#pragma once

#include <windows.h>

// Opens `path` for reading the way the loader does; INVALID_HANDLE_VALUE
// when it cannot.
HANDLE openConfigurationFile(const char *path);

// Sets iniPath to the first candidate that opens (the Windows directory,
// then the daemon's own folder) and returns its handle, or
// INVALID_HANDLE_VALUE with iniPath left at the last candidate tried.
HANDLE locateConfigurationFile(void);
