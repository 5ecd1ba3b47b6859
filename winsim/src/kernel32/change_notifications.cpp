// FindFirstChangeNotificationA and its companions, over the host's folders.
// "The wait functions can monitor the specified directory or subtree by
// using the handle returned by the FindFirstChangeNotification function. A
// wait is satisfied when one of the filter conditions occurs in the
// monitored directory or subtree." After FindNextChangeNotification "the
// application can wait for notifications by using the wait functions".
// The host has no such signal here: a handle keeps what its folder held
// (each entry's name, size, last write and file identity) and counts as
// signalled once the folder differs from that in a way its filter names;
// it stays signalled until it is renewed. Subtrees are not watched.
#include "change_notifications.h"

#include <windows.h>

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <map>
#include <string>

#include "errors.h"
#include "handles.h"
#include "host_paths.h"

namespace winsim {
namespace {

struct EntryFacts {
  long long size;
  long long writeNanoseconds;
  unsigned long long identity;
  bool folder;
};

using FolderFacts = std::map<std::string, EntryFacts>;

struct ChangeNotification {
  std::string folder;
  DWORD filter;
  FolderFacts seen;
  bool signalled;
};

void closeChangeNotification(void *object) { delete (ChangeNotification *)object; }

const HandleKind changeNotificationKind = {"change notification", closeChangeNotification};

FolderFacts factsOf(const std::string &folder) {
  FolderFacts facts;
  DIR *listing = opendir(folder.c_str());
  if (!listing) return facts;
  while (dirent *entry = readdir(listing)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat status;
    if (stat((folder + "/" + name).c_str(), &status) != 0) continue;
    facts[name] = {(long long)status.st_size,
                   (long long)status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec,
                   (unsigned long long)status.st_ino, S_ISDIR(status.st_mode)};
  }
  closedir(listing);
  return facts;
}

// Whether what changed between `before` and `after` is of a kind `filter`
// names. A file replaced by another of the same name (a new identity)
// counts as a change of names, as its removal and creation would.
bool filterSees(DWORD filter, const FolderFacts &before, const FolderFacts &after) {
  DWORD names = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
  for (const auto &entry : before) {
    auto now = after.find(entry.first);
    DWORD kind = entry.second.folder ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME;
    if (now == after.end() || now->second.identity != entry.second.identity) {
      if (filter & (now == after.end() ? kind : names)) return true;
      continue;
    }
    if ((filter & FILE_NOTIFY_CHANGE_SIZE) && now->second.size != entry.second.size) return true;
    if ((filter & FILE_NOTIFY_CHANGE_LAST_WRITE) &&
        now->second.writeNanoseconds != entry.second.writeNanoseconds) {
      return true;
    }
  }
  for (const auto &entry : after) {
    DWORD kind = entry.second.folder ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME;
    if (!before.count(entry.first) && (filter & kind)) return true;
  }
  return false;
}

}  // namespace

int changeNotificationState(HANDLE handle) {
  ChangeNotification *watch = (ChangeNotification *)handleObject(handle, &changeNotificationKind);
  if (!watch) return -1;
  if (!watch->signalled)
    watch->signalled = filterSees(watch->filter, watch->seen, factsOf(watch->folder));
  return watch->signalled ? 1 : 0;
}

}  // namespace winsim

using namespace winsim;

extern "C" {

HANDLE WINAPI FindFirstChangeNotificationA(LPCSTR name, BOOL watchSubtree, DWORD filter) {
  (void)watchSubtree;
  std::string path;
  if (!hostPathFor(name, &path)) return INVALID_HANDLE_VALUE;
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    SetLastError(win32ErrorForPath(errno, path.c_str()));
    return INVALID_HANDLE_VALUE;
  }
  if (!S_ISDIR(status.st_mode) || filter == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  ChangeNotification *watch = new ChangeNotification{path, filter, factsOf(path), false};
  HANDLE handle = newHandle(&changeNotificationKind, watch);
  if (!handle) {
    delete watch;
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

BOOL WINAPI FindNextChangeNotification(HANDLE handle) {
  ChangeNotification *watch = (ChangeNotification *)handleObject(handle, &changeNotificationKind);
  if (!watch) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  watch->seen = factsOf(watch->folder);
  watch->signalled = false;
  return TRUE;
}

BOOL WINAPI FindCloseChangeNotification(HANDLE handle) {
  if (!handleObject(handle, &changeNotificationKind)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return CloseHandle(handle);
}

}  // extern "C"
