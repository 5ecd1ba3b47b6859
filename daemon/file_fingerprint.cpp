#include "file_fingerprint.h"

#include <windows.h>

#include <stdint.h>

namespace {

// FNV-1a, 64 bits. Not a defence against anyone (whoever can write the
// file can change it anyway): it only tells contents apart.
const uint64_t FNV_OFFSET = 0xCBF29CE484222325ull;
const uint64_t FNV_PRIME = 0x00000100000001B3ull;

}  // namespace

void fingerprintFile(const char *path, FileFingerprint *print) {
  print->state = FILE_ABSENT;
  print->size = 0;
  print->hashLow = (DWORD)FNV_OFFSET;
  print->hashHigh = (DWORD)(FNV_OFFSET >> 32);
  if (!path[0]) return;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      print->state = FILE_BUSY;
    }
    return;
  }
  uint64_t hash = FNV_OFFSET;
  unsigned char buffer[4096];
  DWORD got = 0;
  DWORD size = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0) {
    for (DWORD i = 0; i < got; ++i) hash = (hash ^ buffer[i]) * FNV_PRIME;
    size += got;
  }
  CloseHandle(file);
  print->state = FILE_READ;
  print->size = size;
  print->hashLow = (DWORD)hash;
  print->hashHigh = (DWORD)(hash >> 32);
}

int sameFingerprint(const FileFingerprint &a, const FileFingerprint &b) {
  if (a.state == FILE_BUSY || b.state == FILE_BUSY) return 0;
  return a.state == b.state && a.size == b.size && a.hashLow == b.hashLow &&
         a.hashHigh == b.hashHigh;
}
