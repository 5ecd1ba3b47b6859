// The file behind the profile functions: where a name points, reading it
// whole, and replacing it without ever leaving it half written.
#pragma once

#include <windows.h>

#include <string>

namespace winsim {

// The host path of a profile file. A bare file name (no folder at all)
// lives in the Windows directory, as the profile functions have it.
bool profileHostPath(LPCSTR fileName, std::string *path);

// Reads the whole file into `text`. 0, or the Win32 error: the file is
// missing, or another open's share mode forbids reading it.
DWORD loadProfileFile(const std::string &path, std::string *text);

// Whether another open's share mode forbids writing the file now.
DWORD checkProfileWritable(const std::string &path);

// Gives the file the content `text`: written to a temporary file beside
// it, flushed, then renamed over it, so that a failure at any point leaves
// the old file as it was. 0, or the Win32 error.
DWORD replaceProfileFile(const std::string &path, const std::string &text);

}  // namespace winsim
