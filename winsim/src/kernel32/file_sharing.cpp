#include "file_sharing.h"

#include <windows.h>

#include <list>
#include <mutex>

namespace winsim {

struct FileReservation {
  dev_t device;
  ino_t inode;
  unsigned rights;
  DWORD share;
};

namespace {

std::mutex sharingLock;

std::list<FileReservation> &reservations() {
  static std::list<FileReservation> *all = new std::list<FileReservation>();
  return *all;
}

bool permits(DWORD share, unsigned rights) {
  if ((rights & RIGHT_READ) && !(share & FILE_SHARE_READ)) return false;
  if ((rights & RIGHT_WRITE) && !(share & FILE_SHARE_WRITE)) return false;
  if ((rights & RIGHT_DELETE) && !(share & FILE_SHARE_DELETE)) return false;
  return true;
}

// An open without any of the governed rights (only asking for attributes)
// is never refused and never refuses others.
bool conflicts(const FileReservation &held, unsigned rights, DWORD share) {
  if (rights == 0 || held.rights == 0) return false;
  return !permits(held.share, rights) || !permits(share, held.rights);
}

bool anyConflict(const struct stat &info, unsigned rights, DWORD share) {
  for (const FileReservation &held : reservations()) {
    if (held.device == info.st_dev && held.inode == info.st_ino && conflicts(held, rights, share)) {
      return true;
    }
  }
  return false;
}

}  // namespace

FileReservation *reserveFile(const struct stat &info, unsigned rights, DWORD share) {
  std::lock_guard<std::mutex> guard(sharingLock);
  if (anyConflict(info, rights, share)) return NULL;
  reservations().push_back(FileReservation{info.st_dev, info.st_ino, rights, share});
  return &reservations().back();
}

void releaseFile(FileReservation *reservation) {
  std::lock_guard<std::mutex> guard(sharingLock);
  for (auto it = reservations().begin(); it != reservations().end(); ++it) {
    if (&*it == reservation) {
      reservations().erase(it);
      return;
    }
  }
}

DWORD checkFileSharing(const char *hostPath, unsigned rights, DWORD share) {
  struct stat info;
  if (stat(hostPath, &info) != 0) return 0;
  std::lock_guard<std::mutex> guard(sharingLock);
  return anyConflict(info, rights, share) ? ERROR_SHARING_VIOLATION : 0;
}

}  // namespace winsim
