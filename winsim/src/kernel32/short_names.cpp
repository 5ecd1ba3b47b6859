// Short (8.3) names. "A file name that does not fit the 8.3 form has a
// short name as well" (Naming Files, Paths, and Namespaces): the first
// letters of the name that the short form allows, in upper case, "~1", and
// the first three of the extension. A name without such letters (one in
// another alphabet) takes four hexadecimal digits of a hash, as NTFS does.
// Any call accepts a short name for its entry. winsimSetShortNames(FALSE)
// stands for a volume with short names switched off (fsutil 8dot3name):
// GetShortPathNameW then returns "the long path" unchanged, as its
// documentation says, and no short name is accepted.
#include <windows.h>

#include <ctype.h>
#include <dirent.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>

#include <string>

#include "host_paths.h"
#include "winsim/control_kernel.h"

namespace {

bool shortNamesOn = true;

bool allowedInShortName(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         (c && strchr("!#$%&'()-@^_`{}~", c));
}

bool fitsShortForm(const std::string &name) {
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
  if (extension.find('.') != std::string::npos) return false;
  for (char c : base + extension) {
    if (!allowedInShortName(c)) return false;
  }
  return true;
}

std::string allowedUpper(const std::string &text, size_t most) {
  std::string kept;
  for (char c : text) {
    if (kept.size() < most && allowedInShortName(c)) kept += (char)toupper((unsigned char)c);
  }
  return kept;
}

std::string shortNameOf(const std::string &name) {
  if (fitsShortForm(name)) return name;
  size_t dot = name.rfind('.');
  std::string base = allowedUpper(name.substr(0, dot), 6);
  if (base.size() < 2) {
    unsigned hash = 0;
    for (unsigned char c : name) hash = hash * 31 + c;
    char digits[8];
    snprintf(digits, sizeof digits, "%04X", hash & 0xFFFF);
    base = (base + digits).substr(0, 6);
  }
  std::string extension = dot == std::string::npos ? "" : allowedUpper(name.substr(dot + 1), 3);
  return base + "~1" + (extension.empty() ? "" : "." + extension);
}

bool exists(const std::string &path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose short name is `name`, or "" when none is.
std::string entryWithShortName(const std::string &folder, const std::string &name) {
  DIR *listing = opendir(folder.empty() ? "/" : folder.c_str());
  if (!listing) return "";
  std::string found;
  while (struct dirent *entry = readdir(listing)) {
    if (strcasecmp(shortNameOf(entry->d_name).c_str(), name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  closedir(listing);
  return found;
}

}  // namespace

namespace winsim {

std::string resolveShortNames(const std::string &path) {
  if (!shortNamesOn || path.find('~') == std::string::npos || exists(path)) return path;
  std::string resolved;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    if (part.find('~') != std::string::npos && !exists(resolved + "/" + part)) {
      std::string entry = entryWithShortName(resolved, part);
      if (!entry.empty()) part = entry;
    }
    resolved += (start ? "/" : "") + part;
    start = slash + 1;
  }
  return resolved;
}

std::string shortPathOf(const std::string &path) {
  if (!shortNamesOn) return path;
  std::string result;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    result += (start ? "/" : "") + (part.empty() ? part : shortNameOf(part));
    start = slash + 1;
  }
  return result;
}

}  // namespace winsim

extern "C" void winsimSetShortNames(BOOL on) { shortNamesOn = on != FALSE; }
