// Whole files written and read through the Win32 API, so that one source
// serves Windows paths under Wine and winsim's on the host. Free of
// GoogleTest: the tests, the fuzzers and the measuring programs share it.
#pragma once

#include <windows.h>

#include <string>

namespace vorntest {

// Writes `contents` to `path` byte for byte, NUL bytes included, replacing
// what was there.
inline bool writeFileBytes(const std::string &path, const std::string &contents) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, contents.data(), (DWORD)contents.size(), &written, NULL);
  CloseHandle(file);
  return ok && written == contents.size();
}

// The file's bytes; `whenMissing` when it cannot be opened, which a caller
// that must tell a missing file from an empty one sets to what no file of
// its holds.
inline std::string readFileBytes(const std::string &path,
                                 const std::string &whenMissing = std::string()) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return whenMissing;
  std::string contents(GetFileSize(file, NULL), '\0');
  DWORD read = 0;
  if (!contents.empty()) ReadFile(file, &contents[0], (DWORD)contents.size(), &read, NULL);
  CloseHandle(file);
  contents.resize(read);
  return contents;
}

}  // namespace vorntest
