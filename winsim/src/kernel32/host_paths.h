// Win32 path names on the host: both separators are accepted and become
// '/', and Linux paths without a drive pass through unchanged.
//
// Host file names are UTF-8, the Unicode names the W functions see. The A
// functions see the same names in the ANSI code page (code_page.cpp): a
// name they are given is taken from the code page, and a name they return
// has '?' for each character the code page lacks, as Windows documents for
// WideCharToMultiByte's default character. Such a name opens nothing: '?'
// is a wildcard, and CreateFile answers ERROR_INVALID_NAME for it.
// Folders and files have short (8.3) names as well, which any call
// accepts (short_names.cpp).
#pragma once

#include <windows.h>

#include <string>

namespace winsim {

// The host path for `name` as a Win32 call received it. False, with the
// last error set, for names no host file can have: NULL, empty, or with a
// drive letter (the host has no drives; winsim hands out none).
bool hostPathFor(LPCSTR name, std::string *hostPath);
// The same for a name a W function received.
bool hostPathForWide(LPCWSTR name, std::string *hostPath);

// Between the host's UTF-8 names and the two forms the calls use.
std::string utf8FromAnsi(const std::string &ansi);
std::string ansiFromUtf8(const std::string &utf8);
std::wstring wideFromUtf8(const std::string &utf8);
std::string utf8FromWide(const std::wstring &wide);

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
// `text` is a host (UTF-8) name, returned in the ANSI code page.
DWORD copyPathResult(const std::string &text, LPSTR buffer, DWORD size);
// The same for the W functions, in UTF-16 units (one WCHAR each here).
DWORD copyWidePathResult(const std::string &text, LPWSTR buffer, DWORD size);

// The host path of `path` with each component that names nothing there
// but is the short name of an entry of its folder replaced by that entry.
std::string resolveShortNames(const std::string &path);
// `path` (an existing host path) with each component replaced by its
// short name: GetShortPathNameW's answer, in host form.
std::string shortPathOf(const std::string &path);

}  // namespace winsim
