#include "configuration_watch.h"

#include <windows.h>

#include "file_fingerprint.h"
#include "vorn.h"

namespace {

const DWORD WATCHED_CHANGES =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

char loadedPath[MAX_PATH];    // the path the last load looked at
FileFingerprint loadedPrint;  // what it held when that load began
char notedPath[MAX_PATH];     // the path noteFileBeforeLoad looked at
FileFingerprint notedPrint;
char watchedFolder[MAX_PATH];
HANDLE change = NULL;
int waiting = 0;      // a change waits for the quiet period to end
DWORD quietFrom = 0;  // when the last change was seen
int busyTries = 0;

void copyPath(char *to, const char *from) {
  int i = 0;
  for (; from[i] && i < MAX_PATH - 1; ++i) to[i] = from[i];
  to[i] = '\0';
}

// `path` up to its last separator; "" when it has none.
void folderOf(const char *path, char *folder) {
  copyPath(folder, path);
  int end = -1;
  for (int i = 0; folder[i]; ++i) {
    if (folder[i] == '\\' || folder[i] == '/') end = i;
  }
  folder[end < 0 ? 0 : end] = '\0';
}

void closeChange() {
  if (change) FindCloseChangeNotification(change);
  change = NULL;
  watchedFolder[0] = '\0';
}

void startQuietPeriod() {
  waiting = 1;
  quietFrom = GetTickCount();
}

// Watches `folder`, keeping the notification when it is the folder
// watched already: changes seen meanwhile stay signalled.
void watchFolder(const char *folder) {
  if (change && lstrcmpiA(folder, watchedFolder) == 0) return;
  closeChange();
  if (!folder[0]) return;
  HANDLE opened = FindFirstChangeNotificationA(folder, FALSE, WATCHED_CHANGES);
  if (opened == INVALID_HANDLE_VALUE) return;
  change = opened;
  copyPath(watchedFolder, folder);
}

}  // namespace

void noteFileBeforeLoad(void) {
  copyPath(notedPath, loadedPath);
  fingerprintFile(notedPath, &notedPrint);
}

void watchLoadedFile(void) {
  copyPath(loadedPath, _MyIniPath());
  // A first load, or one that found another file than the last: what it
  // read is what the file holds now.
  if (lstrcmpiA(loadedPath, notedPath) != 0) fingerprintFile(loadedPath, &notedPrint);
  loadedPrint = notedPrint;
  waiting = 0;
  busyTries = 0;
  // The daemon's own option, read from the file the library read; a file
  // that is not there leaves it at its default.
  int reloadOnChange =
      loadedPath[0] && GetPrivateProfileIntA("Options", "ReloadOnChange", 1, loadedPath) != 0;
  if (!reloadOnChange) {
    closeChange();
    return;
  }
  char folder[MAX_PATH];
  folderOf(loadedPath, folder);
  watchFolder(folder);
  // A change made while the file was loaded is looked at once it settles.
  if (loadedPrint.state == FILE_BUSY) startQuietPeriod();
}

void stopWatching(void) {
  closeChange();
  waiting = 0;
}

HANDLE watchHandle(void) { return change; }

DWORD watchTimeout(void) {
  if (!waiting) return INFINITE;
  DWORD waited = GetTickCount() - quietFrom;
  return waited >= RELOAD_QUIET_MS ? 0 : RELOAD_QUIET_MS - waited;
}

void folderChanged(void) {
  // A notification that cannot be renewed would stay signalled and wake
  // the loop for ever: the watch is given up instead.
  if (!change || !FindNextChangeNotification(change)) {
    closeChange();
    return;
  }
  busyTries = 0;
  startQuietPeriod();
}

int fileChangedSinceLoad(void) {
  waiting = 0;
  FileFingerprint now;
  fingerprintFile(loadedPath, &now);
  if (now.state == FILE_BUSY) {
    if (++busyTries < RELOAD_BUSY_TRIES) startQuietPeriod();
    return 0;
  }
  busyTries = 0;
  return !sameFingerprint(now, loadedPrint);
}
