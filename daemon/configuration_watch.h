// Reload on save. After each load the daemon watches the folder of the
// vorn.ini its library read (or, when it found none, of the last place it
// looked, so that a file that appears there counts too), unless that file
// says [Options] ReloadOnChange=0. A change in the folder starts a quiet
// period; every further change starts it again, so that an editor's save
// (often several writes, a rename, a backup) ends in one reload. When the
// period ends, the daemon reloads only if the file differs from what the
// last load read: changes to other files of the folder, a save that
// changed nothing and the Status entry of a failed load written a second
// time reload nothing. A file that another program still holds open for
// writing is looked at again a little later.
//
// Each daemon of a pair watches for itself: both look the file up the same
// way, so both load the same file, and a daemon that runs alone (the
// 64-bit one started by hand, the 32-bit one on 32-bit Windows) reloads
// as well.
#pragma once

#include <windows.h>

// How long the file must have been left alone before it is reloaded, and
// how many times a busy file is waited for before the daemon waits for the
// next change instead.
enum { RELOAD_QUIET_MS = 400, RELOAD_BUSY_TRIES = 25 };

// Just before a load: what the file the last load read holds now, so that
// a save that lands while the load runs is not taken for the loaded file.
void noteFileBeforeLoad(void);

// Just after a load: takes the path the library looked at, and watches its
// folder, or stops watching when the file says ReloadOnChange=0.
void watchLoadedFile(void);

// Stops watching (the daemon ends).
void stopWatching(void);

// The folder's change notification, for the message loop's wait; NULL when
// nothing is watched.
HANDLE watchHandle(void);

// How long the message loop may wait before the quiet period ends;
// INFINITE when no change is waiting.
DWORD watchTimeout(void);

// The change notification was signalled: the quiet period starts again.
void folderChanged(void);

// The quiet period has ended: 1 when the file differs from what the last
// load read, and the daemon is to reload.
int fileChangedSinceLoad(void);
