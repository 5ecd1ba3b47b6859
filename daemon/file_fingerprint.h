// What a file holds, reduced to a few words, so that the daemon can tell
// whether vorn.ini changed since it was loaded: a save that changed
// nothing, and the Status entry a failed load writes for the second time,
// are no change.
#pragma once

#include <windows.h>

enum FileState {
  FILE_ABSENT = 0,  // no file there (or a folder)
  FILE_BUSY,        // a file is there, but cannot be read as the loader reads it
  FILE_READ,        // read whole: size and hash hold
};

struct FileFingerprint {
  FileState state;
  DWORD size;
  DWORD hashLow;
  DWORD hashHigh;
};

// Reads the file at `path` ("" for none) the way the loader opens it. A
// file that another program holds open for writing (an editor in the
// middle of its save) cannot be opened that way: it is FILE_BUSY.
void fingerprintFile(const char *path, FileFingerprint *print);

// 1 when both describe the same contents (or both no file); a busy file
// equals nothing.
int sameFingerprint(const FileFingerprint &a, const FileFingerprint &b);
