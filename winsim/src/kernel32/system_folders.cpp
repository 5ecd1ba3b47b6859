#include "system_folders.h"

#include <windows.h>

#include <dirent.h>
#include <errno.h>
#include <ftw.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "host_paths.h"
#include "version/simulated_modules.h"

namespace winsim {
namespace {

std::string *processFolder;  // removed at exit; NULL with $WINSIM_WINDOWS_DIR
pid_t owningProcess;
std::atomic<bool> made(false);

void makeFolders(const std::string &path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0777);
  }
  mkdir(path.c_str(), 0777);
}

int removeEntry(const char *path, const struct stat *, int, struct FTW *) {
  remove(path);
  return 0;
}

void removeTree(const std::string &folder) {
  nftw(folder.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// Only the process that made the folder removes it: a forked child (a
// death test, say) leaves its parent's folder alone.
void removeProcessFolder() {
  if (processFolder && getpid() == owningProcess) removeTree(*processFolder);
}

// The folder of a process that ended without running its exit handlers
// (killed, or crashed) would stay for ever: such folders are removed when
// the next process makes its own.
bool isStaleProcessFolder(const char *name) {
  const char prefix[] = "winsim-";
  if (strncmp(name, prefix, sizeof prefix - 1) != 0) return false;
  const char *digits = name + sizeof prefix - 1;
  if (!*digits || strspn(digits, "0123456789") != strlen(digits)) return false;
  pid_t process = (pid_t)atol(digits);
  return process > 0 && kill(process, 0) != 0 && errno == ESRCH;
}

void removeStaleProcessFolders(const std::string &root) {
  DIR *listing = opendir(root.c_str());
  if (!listing) return;
  while (struct dirent *entry = readdir(listing)) {
    if (isStaleProcessFolder(entry->d_name)) removeTree(root + "/" + entry->d_name);
  }
  closedir(listing);
}

std::string temporaryRoot() {
  const char *folder = getenv("TMPDIR");
  std::string root = folder && folder[0] == '/' ? folder : "/tmp";
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root;
}

std::string chooseWindowsFolder() {
  const char *configured = getenv("WINSIM_WINDOWS_DIR");
  if (configured && configured[0]) {
    std::string folder;
    if (!hostPathFor(configured, &folder)) folder = configured;
    folder = absoluteHostPath(folder);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  owningProcess = getpid();
  removeStaleProcessFolders(temporaryRoot());
  processFolder = new std::string(temporaryRoot() + "/winsim-" + std::to_string(owningProcess));
  atexit(removeProcessFolder);
  return *processFolder + "/windows";
}

}  // namespace

const std::string &windowsFolder() {
  static std::once_flag once;
  static std::string *folder;
  std::call_once(once, [] {
    folder = new std::string(chooseWindowsFolder());
    makeFolders(*folder + "/system32");
    placeShell32(*folder + "/system32");
    made = true;
  });
  return *folder;
}

bool windowsFolderMade() { return made; }

std::string systemFolder() { return windowsFolder() + "/system32"; }

}  // namespace winsim

extern "C" {

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  return winsim::copyPathResult(winsim::windowsFolder(), buffer, size);
}

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
  return winsim::copyPathResult(winsim::systemFolder(), buffer, size);
}

}  // extern "C"

extern "C" UINT WINAPI GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
  return winsim::copyWidePathResult(winsim::windowsFolder(), buffer, size);
}
