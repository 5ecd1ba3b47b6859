// A private folder under the temporary folder for the kernel tests, made,
// filled and emptied through the Win32 API, so that one source serves the
// host build (winsim) and Windows (Wine). Its paths use '\', which Windows
// expects and winsim accepts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/win32_files.h"

namespace vorntest {

class ScratchFolder {
 public:
  ScratchFolder() {
    static unsigned serial = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // The stack address differs between runs (address randomisation), the
    // tick count between starts: together they keep parallel runs apart.
    int local = 0;
    unsigned long salt = (unsigned long)((uintptr_t)&local >> 4) ^ GetTickCount();
    folder_ =
        std::string(temp) + "vorn-kernel-" + std::to_string(salt) + "-" + std::to_string(++serial);
    CreateDirectoryA(folder_.c_str(), NULL);
  }

  ~ScratchFolder() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      if (!DeleteFileA(it->c_str())) RemoveDirectoryA(it->c_str());
    }
    RemoveDirectoryA(folder_.c_str());
  }

  ScratchFolder(const ScratchFolder &) = delete;
  ScratchFolder &operator=(const ScratchFolder &) = delete;

  const std::string &folder() const { return folder_; }

  // The full path of `name` in the folder; remembered for cleaning up.
  std::string path(const std::string &name) {
    std::string full = folder_ + "\\" + name;
    made_.push_back(full);
    return full;
  }

  bool write(const std::string &name, const std::string &bytes) {
    return writeFileBytes(path(name), bytes);
  }

  // The file's bytes; "<missing>" when it cannot be opened.
  std::string read(const std::string &name) { return readFileBytes(path(name), "<missing>"); }

  bool exists(const std::string &name) {
    return GetFileAttributesA(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  std::string folder_;
  std::vector<std::string> made_;
};

// The separator a path uses: '\' on Windows, '/' in the host's paths.
inline char separatorOf(const std::string &path) {
  return path.find('\\') != std::string::npos ? '\\' : '/';
}

}  // namespace vorntest
