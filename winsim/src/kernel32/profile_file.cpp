#include "profile_file.h"

#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "descriptor_io.h"
#include "errors.h"
#include "file_sharing.h"
#include "host_paths.h"

namespace winsim {
namespace {

const DWORD PROFILE_SHARE = FILE_SHARE_READ | FILE_SHARE_WRITE;

// A file that starts with the UTF-16LE byte order mark is read and written
// as Unicode; the A functions see its text in the ANSI code page. Every
// other file is ANSI text, and the functions create ANSI files. (A UTF-8
// mark is recognised by none of them: it stays part of the first line.)
const char UNICODE_MARK[] = "\xFF\xFE";
const size_t UNICODE_MARK_LENGTH = 2;

bool isUnicode(const std::string &bytes) {
  return bytes.compare(0, UNICODE_MARK_LENGTH, UNICODE_MARK) == 0;
}

std::string ansiFromUnicode(const std::string &bytes) {
  std::wstring wide;
  for (size_t i = UNICODE_MARK_LENGTH; i + 1 < bytes.size(); i += 2) {
    wide += (WCHAR)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8);
  }
  if (wide.empty()) return std::string();
  std::string text(wide.size(), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), &text[0], (int)text.size(), NULL,
                      NULL);
  return text;
}

// Each byte of the ANSI code page stands for the character of its value.
std::string unicodeFromAnsi(const std::string &text) {
  std::string bytes(UNICODE_MARK, UNICODE_MARK_LENGTH);
  for (char c : text) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

bool fileIsUnicode(const std::string &path) {
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  char start[UNICODE_MARK_LENGTH];
  bool marked = read(descriptor, start, sizeof start) == (ssize_t)sizeof start &&
                memcmp(start, UNICODE_MARK, sizeof start) == 0;
  close(descriptor);
  return marked;
}

bool isBareFileName(LPCSTR fileName) {
  for (const char *p = fileName; *p; ++p) {
    if (*p == '\\' || *p == '/') return false;
  }
  return !hasDriveLetter(fileName);
}

// The file the rename must replace: a symbolic link is followed, so that
// the link stays and its target gets the new content.
std::string replacementTarget(const std::string &path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved)) return resolved;
  return path;
}

mode_t modeForNewFile(const std::string &target) {
  struct stat info;
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

std::string temporaryNameBeside(const std::string &target) {
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "/." + name + ".winsim-XXXXXX";
}

}  // namespace

bool profileHostPath(LPCSTR fileName, std::string *path) {
  if (!fileName || !fileName[0]) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (!isBareFileName(fileName)) return hostPathFor(fileName, path);
  char folder[MAX_PATH * 4];
  UINT length = GetWindowsDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return false;
  *path = std::string(folder) + "/" + fileName;
  return true;
}

DWORD loadProfileFile(const std::string &path, std::string *text) {
  DWORD sharing = checkFileSharing(path.c_str(), RIGHT_READ, PROFILE_SHARE);
  if (sharing) return sharing;
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return win32ErrorForPath(errno, path.c_str());
  DWORD error = readAll(descriptor, text);
  close(descriptor);
  if (!error && isUnicode(*text)) *text = ansiFromUnicode(*text);
  return error;
}

DWORD checkProfileWritable(const std::string &path) {
  return checkFileSharing(path.c_str(), RIGHT_WRITE, PROFILE_SHARE);
}

DWORD replaceProfileFile(const std::string &path, const std::string &text) {
  std::string target = replacementTarget(path);
  std::string temporary = temporaryNameBeside(target);
  const std::string &content = fileIsUnicode(target) ? unicodeFromAnsi(text) : text;
  int descriptor = mkstemp(&temporary[0]);
  if (descriptor < 0) return win32ErrorForPath(errno, target.c_str());
  bool written = fchmod(descriptor, modeForNewFile(target)) == 0 &&
                 writeAll(descriptor, content.data(), content.size()) && fsync(descriptor) == 0;
  int error = errno;
  if (close(descriptor) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    return win32ErrorFromErrno(error);
  }
  return 0;
}

}  // namespace winsim
