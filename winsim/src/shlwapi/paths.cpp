// SHLWAPI path functions. They work on Windows paths ("C:\dir\file",
// "\\server\share") and, because the host's folders are Linux paths, on
// paths with forward slashes too: '/' separates like '\'.
#include <shlwapi.h>
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool hasDrive(const std::string &path) { return path.size() >= 2 && path[1] == ':'; }

bool isUnc(const std::string &path) { return path.compare(0, 2, "\\\\") == 0; }

// The separator to add: '/' in a path that only uses '/', else '\'.
char separatorFor(const std::string &path) {
  return path.find('/') != std::string::npos && path.find('\\') == std::string::npos ? '/' : '\\';
}

// The root of a path: "\\", "X:" with its separator, or a leading separator.
size_t rootLength(const std::string &path) {
  if (isUnc(path)) return 2;
  size_t length = hasDrive(path) ? 2 : 0;
  if (length < path.size() && isSeparator(path[length])) ++length;
  return length;
}

struct Component {
  std::string separator;  // the separators before it, as written
  std::string name;
};

std::vector<Component> splitAfterRoot(const std::string &path, size_t root) {
  std::vector<Component> parts;
  size_t at = root;
  while (at < path.size()) {
    size_t nameStart = at;
    while (nameStart < path.size() && isSeparator(path[nameStart])) ++nameStart;
    size_t nameEnd = nameStart;
    while (nameEnd < path.size() && !isSeparator(path[nameEnd])) ++nameEnd;
    parts.push_back(
        Component{path.substr(at, nameStart - at), path.substr(nameStart, nameEnd - nameStart)});
    at = nameEnd;
  }
  return parts;
}

// Drops "." components and resolves ".." against the component before it;
// ".." cannot climb above a root. Everything else is kept as written.
std::string canonical(const std::string &path) {
  size_t root = rootLength(path);
  std::vector<Component> kept;
  for (const Component &part : splitAfterRoot(path, root)) {
    if (part.name == ".") continue;
    if (part.name == ".." && !kept.empty() && kept.back().name != ".." &&
        !kept.back().name.empty()) {
      kept.pop_back();
    } else if (!(part.name == ".." && kept.empty() && root > 0)) {
      kept.push_back(part);
    }
  }
  std::string result = path.substr(0, root);
  for (size_t i = 0; i < kept.size(); ++i) {
    result += (i == 0 ? std::string() : kept[i].separator) + kept[i].name;
  }
  return result;
}

std::string joined(const std::string &path, const char *more) {
  std::string tail(more);
  if (hasDrive(tail) || isUnc(tail)) return tail;  // an absolute path replaces the first
  size_t skip = 0;
  while (skip < tail.size() && isSeparator(tail[skip])) ++skip;
  tail.erase(0, skip);
  if (path.empty()) return tail;
  if (tail.empty() || isSeparator(path.back())) return path + tail;
  return path + separatorFor(path) + tail;
}

}  // namespace

extern "C" {

// A result that would not fit MAX_PATH empties the path and fails.
BOOL WINAPI PathAppendA(LPSTR path, LPCSTR more) {
  if (!path || !more) return FALSE;
  std::string result = canonical(joined(path, more));
  if (result.size() >= MAX_PATH) {
    path[0] = '\0';
    return FALSE;
  }
  memcpy(path, result.c_str(), result.size() + 1);
  return TRUE;
}

BOOL WINAPI PathRemoveFileSpecA(LPSTR path) {
  if (!path) return FALSE;
  std::string text(path);
  char *fileSpec = path + rootLength(text);
  char *lastSeparator = NULL;
  for (char *p = fileSpec; *p; ++p) {
    if (isSeparator(*p)) lastSeparator = p;
  }
  if (lastSeparator) {
    *lastSeparator = '\0';
    return TRUE;
  }
  if (!*fileSpec) return FALSE;
  *fileSpec = '\0';
  return TRUE;
}

BOOL WINAPI PathIsRelativeA(LPCSTR path) {
  if (!path || !path[0]) return TRUE;
  return !isSeparator(path[0]) && path[1] != ':';
}

BOOL WINAPI PathFileExistsA(LPCSTR path) {
  return path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // extern "C"
