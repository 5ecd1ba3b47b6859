// The process heap. Each block carries a small header with its size, so
// that HeapReAlloc with HEAP_ZERO_MEMORY knows which bytes are new.
#include <windows.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "winsim/control_kernel.h"

namespace {

const uint64_t BLOCK_MAGIC = 0x77696e73696d4850ull;  // "winsimHP"

// Sixteen bytes, so that the memory after it keeps malloc's alignment.
struct BlockHeader {
  size_t size;
  uint64_t magic;
};

HANDLE const PROCESS_HEAP = (HANDLE)(uintptr_t)0x00150000;

std::atomic<long> allocationCount(0);
std::atomic<long> liveBlocks(0);

BlockHeader *headerOf(LPVOID block) { return (BlockHeader *)block - 1; }

bool isProcessHeap(HANDLE heap) {
  if (heap == PROCESS_HEAP) return true;
  SetLastError(ERROR_INVALID_HANDLE);
  return false;
}

// Blocks that did not come from HeapAlloc are refused rather than freed.
bool isHeapBlock(LPVOID block) {
  if (headerOf(block)->magic == BLOCK_MAGIC) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

// A size whose header would not fit in a size_t: adding the two would wrap
// around to a small block that the caller then writes far beyond.
bool tooLarge(SIZE_T bytes) {
  if (bytes <= SIZE_MAX - sizeof(BlockHeader)) return false;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return true;
}

LPVOID reallocate(BlockHeader *header, DWORD flags, SIZE_T bytes) {
  size_t oldSize = header->size;
  if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
    if (bytes > oldSize) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return NULL;
    }
    header->size = bytes;
    return header + 1;
  }
  if (tooLarge(bytes)) return NULL;
  BlockHeader *moved = (BlockHeader *)realloc(header, sizeof(BlockHeader) + bytes);
  if (!moved) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return NULL;
  }
  if ((flags & HEAP_ZERO_MEMORY) && bytes > oldSize) {
    memset((char *)(moved + 1) + oldSize, 0, bytes - oldSize);
  }
  moved->size = bytes;
  return moved + 1;
}

}  // namespace

extern "C" {

long winsimHeapAllocationCount(void) { return allocationCount; }

long winsimHeapBlockCount(void) { return liveBlocks; }

HANDLE WINAPI GetProcessHeap(void) { return PROCESS_HEAP; }

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  if (!isProcessHeap(heap) || tooLarge(bytes)) return NULL;
  BlockHeader *header = (BlockHeader *)malloc(sizeof(BlockHeader) + bytes);
  if (!header) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return NULL;
  }
  header->size = bytes;
  header->magic = BLOCK_MAGIC;
  if (flags & HEAP_ZERO_MEMORY) memset(header + 1, 0, bytes);
  ++allocationCount;
  ++liveBlocks;
  return header + 1;
}

// A NULL block is not a request for a new one: HeapReAlloc fails, leaving
// the last error alone, as Windows does.
LPVOID WINAPI HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
  if (!isProcessHeap(heap) || !block || !isHeapBlock(block)) return NULL;
  LPVOID moved = reallocate(headerOf(block), flags, bytes);
  if (moved) ++allocationCount;
  return moved;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID block) {
  if (!isProcessHeap(heap)) return FALSE;
  if (!block) return TRUE;
  if (!isHeapBlock(block)) return FALSE;
  headerOf(block)->magic = 0;
  free(headerOf(block));
  --liveBlocks;
  return TRUE;
}

}  // extern "C"
