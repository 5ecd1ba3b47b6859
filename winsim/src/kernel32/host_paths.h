// Win32 path names on the host: both separators are accepted and become
// '/', and Linux paths without a drive pass through unchanged.
#pragma once

#include <windows.h>

#include <string>

namespace winsim {

// The host path for `name` as a Win32 call received it. False, with the
// last error set, for names no host file can have: NULL, empty, or with a
// drive letter (the host has no drives; winsim hands out none).
bool hostPathFor(LPCSTR name, std::string *hostPath);

// `path` with every backslash made a '/', the host's only separator.
std::string forwardSlashes(const std::string &path);

// `path` made absolute against the current folder, with "." and ".."
// resolved and repeated separators collapsed. A trailing separator stays.
std::string absoluteHostPath(const std::string &path);

// `path` (separators already '/') as GetFullPathNameA gives it: like
// absoluteHostPath, except that a name with a drive letter keeps its drive
// and is only tidied, since the host cannot resolve it.
std::string fullHostPath(const std::string &path);

bool hasDriveLetter(LPCSTR name);

// Copies `text` into a caller's buffer the way the Win32 path queries do:
// the length on success, or the size needed (with the NUL) when `size`
// is too small, leaving the buffer alone.
DWORD copyPathResult(const std::string &text, LPSTR buffer, DWORD size);

}  // namespace winsim
