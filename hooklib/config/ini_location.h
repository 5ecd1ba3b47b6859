// Where vorn.ini is: the Windows directory first, then the user's own
// %APPDATA%\vorn (where an upgrade of vorn never writes), then the folder
// of the program that loads the configuration (the daemon). Daemons and
// vorncheck all look through this one table.
//
// Paths are found with the W functions, which have every character of a
// folder's name. The profile functions and the loader then take the path
// in the ANSI code page, as the A functions would give it, where the code
// page has all its characters, else its short (8.3) name; a path neither
// can express counts as not found, rather than as a name with '?' in it.
#pragma once

#include <windows.h>

enum ConfigurationPlace {
  PLACE_WINDOWS_DIRECTORY,
  PLACE_APPDATA,
  PLACE_PROGRAM_FOLDER,
  PLACE_COUNT
};

// Opens `path` for reading the way the loader does; INVALID_HANDLE_VALUE
// when it cannot.
HANDLE openConfigurationFile(const char *path);

// Characters a place's path may take: a folder of MAX_PATH and the names
// below it.
const int PLACE_PATH_SIZE = MAX_PATH + 16;

// The path of vorn.ini in `place` into `path` (PLACE_PATH_SIZE
// characters), for the program file `program` (at most MAX_PATH
// characters with its NUL; NULL: this process's own). 0 when the place
// cannot be told.
int configurationPathIn(int place, const WCHAR *program, WCHAR *path);

// `path` as the A functions open it, into `ansi` (256 bytes): in the ANSI
// code page when it has every character, else the short name's (`path`
// then holds the short name). 0 when neither expresses it (`ansi` then
// holds what the A functions would have seen) or it does not fit.
int openablePath(WCHAR *path, char *ansi);

// Sets iniPath to the first place whose file opens and returns its handle,
// or INVALID_HANDLE_VALUE with iniPath at the last place tried. `program`
// as for configurationPathIn.
HANDLE locateConfigurationFile(const WCHAR *program = NULL);
