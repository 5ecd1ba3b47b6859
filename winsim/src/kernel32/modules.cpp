// The running program as a module: its file name and instance handle, and
// the search for a module file.
#include <windows.h>

#include <limits.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host_paths.h"
#include "libraries.h"
#include "system_folders.h"

namespace {

// Where a Windows program's own image is usually loaded.
HMODULE const PROGRAM_INSTANCE = (HMODULE)(uintptr_t)0x00400000;

// The program's file as a test set it (winsimSetProgramPath), else the
// host's own.
std::string *chosenProgramPath;

std::string programPath() {
  if (chosenProgramPath) return *chosenProgramPath;
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return std::string();
  return std::string(path, (size_t)length);
}

std::string baseName(const std::string &path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string &path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool exists(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool hasExtension(const std::string &name) {
  size_t dot = name.rfind('.');
  return dot != std::string::npos && name.find('/', dot) == std::string::npos;
}

// The folders a module is looked for in: the program's folder, the system
// folder, the Windows folder, then the current folder.
std::vector<std::string> defaultSearchFolders() {
  return {folderOf(programPath()), winsim::systemFolder(), winsim::windowsFolder(),
          winsim::absoluteHostPath(".")};
}

std::vector<std::string> splitSearchPath(const std::string &list) {
  std::vector<std::string> folders;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) folders.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

bool searchFolders(const std::vector<std::string> &folders, const std::string &name,
                   std::string *found) {
  for (const std::string &folder : folders) {
    std::string candidate = winsim::absoluteHostPath(folder + "/" + name);
    if (exists(candidate)) {
      *found = candidate;
      return true;
    }
  }
  return false;
}

bool locate(LPCSTR path, const std::string &name, std::string *found) {
  if (name.find('/') != std::string::npos) {
    *found = winsim::absoluteHostPath(name);  // a name with a folder is taken as it is
    return exists(*found);
  }
  if (!path) return searchFolders(defaultSearchFolders(), name, found);
  return searchFolders(splitSearchPath(winsim::forwardSlashes(path)), name, found);
}

}  // namespace

extern "C" {

// When the name does not fit, the buffer is filled without a terminating
// NUL and the result is its size, as Windows XP (and Wine) do. The A form
// has the name in the ANSI code page, '?' for what it lacks.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  if (module && module != PROGRAM_INSTANCE) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path = winsim::ansiFromUtf8(programPath());
  if (path.size() < size) {
    memcpy(buffer, path.c_str(), path.size() + 1);
    return (DWORD)path.size();
  }
  if (size > 0) memcpy(buffer, path.data(), size);
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  if (module && module != PROGRAM_INSTANCE) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::wstring path = winsim::wideFromUtf8(programPath());
  if (path.size() < size) {
    memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
    return (DWORD)path.size();
  }
  if (size > 0) memcpy(buffer, path.data(), size * sizeof(WCHAR));
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

void winsimSetProgramPath(const char *hostPath) {
  delete chosenProgramPath;
  chosenProgramPath = hostPath ? new std::string(hostPath) : NULL;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
  if (!name || strcasecmp(name, baseName(programPath()).c_str()) == 0) return PROGRAM_INSTANCE;
  if (HMODULE library = winsim::loadedSystemLibrary(name)) return library;
  SetLastError(ERROR_MOD_NOT_FOUND);
  return NULL;
}

DWORD WINAPI SearchPathA(LPCSTR path, LPCSTR fileName, LPCSTR extension, DWORD size, LPSTR buffer,
                         LPSTR *filePart) {
  std::string name;
  if (!fileName || !winsim::hostPathFor(fileName, &name)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (extension && !hasExtension(name)) name += extension;
  std::string found;
  if (!locate(path, name, &found)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  DWORD result = winsim::copyPathResult(found, buffer, size);
  if (buffer && result < size && filePart) *filePart = buffer + found.rfind('/') + 1;
  return result;
}

}  // extern "C"
