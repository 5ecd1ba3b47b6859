#include "host_paths.h"

#include <windows.h>

#include <errno.h>
#include <string.h>
#include <unistd.h>

#include <vector>

namespace winsim {
namespace {

std::string currentFolder() {
  std::vector<char> buffer(256);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

std::vector<std::string> splitComponents(const std::string &path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();  // ".." at the root stays at the root
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  return parts;
}

std::string tidyAbsolutePath(const std::string &full) {
  bool trailingSeparator = full.size() > 1 && full.back() == '/';
  std::string result;
  for (const std::string &part : splitComponents(full)) result += "/" + part;
  if (result.empty()) return "/";
  if (trailingSeparator) result += "/";
  return result;
}

}  // namespace

bool hasDriveLetter(LPCSTR name) { return name && name[0] && name[1] == ':'; }

bool hostPathFor(LPCSTR name, std::string *hostPath) {
  if (!name || !name[0] || hasDriveLetter(name)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  *hostPath = forwardSlashes(name);
  return true;
}

std::string forwardSlashes(const std::string &path) {
  std::string result = path;
  for (char &c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

std::string absoluteHostPath(const std::string &path) {
  return tidyAbsolutePath(!path.empty() && path[0] == '/' ? path : currentFolder() + "/" + path);
}

std::string fullHostPath(const std::string &path) {
  if (!hasDriveLetter(path.c_str())) return absoluteHostPath(path);
  std::string rest = path.substr(2);
  if (rest.empty() || rest[0] != '/') return path;
  return path.substr(0, 2) + tidyAbsolutePath(rest);
}

DWORD copyPathResult(const std::string &text, LPSTR buffer, DWORD size) {
  if (!buffer || size <= text.size()) return (DWORD)text.size() + 1;
  memcpy(buffer, text.c_str(), text.size() + 1);
  return (DWORD)text.size();
}

}  // namespace winsim
