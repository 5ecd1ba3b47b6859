// Local memory: what the system's functions hand to their caller (a SID as
// text, a security descriptor) and the caller gives back with LocalFree.
// Blocks are counted, so that a test can see every one given back.
#include <windows.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "winsim/control_kernel.h"

namespace {

const uint64_t LOCAL_MAGIC = 0x77696e73696d4c4dull;  // "winsimLM"

// Sixteen bytes, so that the memory after it keeps malloc's alignment.
struct LocalHeader {
  uint64_t magic;
  uint64_t size;
};

std::atomic<long> liveLocalBlocks(0);

}  // namespace

extern "C" {

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) {
  LocalHeader *header = (LocalHeader *)malloc(sizeof(LocalHeader) + (bytes ? bytes : 1));
  if (!header) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return NULL;
  }
  header->magic = LOCAL_MAGIC;
  header->size = bytes;
  if (flags & LMEM_ZEROINIT) memset(header + 1, 0, bytes);
  ++liveLocalBlocks;
  return header + 1;
}

// A block that LocalAlloc did not make is refused and returned, as the
// system does with ERROR_INVALID_HANDLE.
HLOCAL WINAPI LocalFree(HLOCAL memory) {
  if (!memory) return NULL;
  LocalHeader *header = (LocalHeader *)memory - 1;
  if (header->magic != LOCAL_MAGIC) {
    SetLastError(ERROR_INVALID_HANDLE);
    return memory;
  }
  header->magic = 0;
  free(header);
  --liveLocalBlocks;
  return NULL;
}

long winsimLocalBlockCount(void) { return liveLocalBlocks; }

}  // extern "C"
