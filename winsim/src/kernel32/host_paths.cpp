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

namespace {

bool hostPathForUtf8(const char *name, std::string *hostPath) {
  if (!name || !name[0] || hasDriveLetter(name)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  // "The following reserved characters [may not be used in names]: ...
  // ? (question mark) * (asterisk)" (Naming Files, Paths, and Namespaces).
  if (strpbrk(name, "?*")) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  *hostPath = resolveShortNames(forwardSlashes(name));
  return true;
}

}  // namespace

bool hostPathFor(LPCSTR name, std::string *hostPath) {
  if (!name) return hostPathForUtf8(NULL, hostPath);
  return hostPathForUtf8(utf8FromAnsi(name).c_str(), hostPath);
}

bool hostPathForWide(LPCWSTR name, std::string *hostPath) {
  if (!name) return hostPathForUtf8(NULL, hostPath);
  return hostPathForUtf8(utf8FromWide(name).c_str(), hostPath);
}

// winsim's ANSI code page agrees with Latin-1 (code_page.cpp): each byte
// is the character of the same value.
std::string utf8FromAnsi(const std::string &ansi) {
  std::wstring wide;
  for (unsigned char c : ansi) wide += (wchar_t)c;
  return utf8FromWide(wide);
}

std::string ansiFromUtf8(const std::string &utf8) {
  std::wstring wide = wideFromUtf8(utf8);
  std::string ansi(wide.size(), '\0');
  if (!wide.empty()) {
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), &ansi[0], (int)ansi.size(), NULL,
                        NULL);
  }
  return ansi;
}

// Bytes that are no UTF-8 (host names made by other means) count as
// Latin-1, so that every host name has some Windows name.
std::wstring wideFromUtf8(const std::string &utf8) {
  std::wstring wide;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char lead = (unsigned char)utf8[i];
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    wchar_t code = extra ? lead & (0x3F >> extra) : lead;
    bool valid = lead < 0x80 || (extra && i + extra < utf8.size());
    for (int k = 1; valid && k <= extra; ++k) {
      unsigned char next = (unsigned char)utf8[i + k];
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      wide += (wchar_t)lead;
      ++i;
    } else {
      wide += code;
      i += 1 + extra;
    }
  }
  return wide;
}

std::string utf8FromWide(const std::wstring &wide) {
  std::string utf8;
  for (wchar_t c : wide) {
    unsigned code = (unsigned)c;
    if (code < 0x80) {
      utf8 += (char)code;
    } else if (code < 0x800) {
      utf8 += (char)(0xC0 | (code >> 6));
      utf8 += (char)(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += (char)(0xE0 | (code >> 12));
      utf8 += (char)(0x80 | ((code >> 6) & 0x3F));
      utf8 += (char)(0x80 | (code & 0x3F));
    } else {
      utf8 += (char)(0xF0 | (code >> 18));
      utf8 += (char)(0x80 | ((code >> 12) & 0x3F));
      utf8 += (char)(0x80 | ((code >> 6) & 0x3F));
      utf8 += (char)(0x80 | (code & 0x3F));
    }
  }
  return utf8;
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
  std::string ansi = ansiFromUtf8(text);
  if (!buffer || size <= ansi.size()) return (DWORD)ansi.size() + 1;
  memcpy(buffer, ansi.c_str(), ansi.size() + 1);
  return (DWORD)ansi.size();
}

DWORD copyWidePathResult(const std::string &text, LPWSTR buffer, DWORD size) {
  std::wstring wide = wideFromUtf8(text);
  if (!buffer || size <= wide.size()) return (DWORD)wide.size() + 1;
  memcpy(buffer, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
  return (DWORD)wide.size();
}

}  // namespace winsim
