// Scratch storage for the image under construction. Records are addressed by
// offset only: the buffer may move when it grows.
#include "config/image_builder.h"

#include <windows.h>

#include "config/loader_state.h"

namespace {

// No compile comes near this (nine lists of nine rules with 82 distinct
// matches of 35 full Patterns stay under 3 MB); it only bounds damage.
const uint32_t maximumImageBytes = 64u * 1024u * 1024u;
const uint32_t initialCapacity = 16u * 1024u;

unsigned char *scratch = NULL;
uint32_t capacity = 0;
uint32_t used = 0;
int intact = 0;

void updateArenaCursor() { arenaCursor = scratch ? scratch + used : NULL; }

int reserve(uint32_t bytes) {
  if (!intact) return 0;
  if (bytes > maximumImageBytes - used) {
    intact = 0;
    return 0;
  }
  uint32_t needed = used + bytes;
  if (needed <= capacity) return 1;
  uint32_t grown = capacity;
  while (grown < needed) grown = grown > maximumImageBytes / 2 ? maximumImageBytes : grown * 2;
  // A new block and a copy rather than HeapReAlloc: the same work for the
  // heap, and one function fewer for the library to import.
  HANDLE heap = GetProcessHeap();
  unsigned char *moved = (unsigned char *)HeapAlloc(heap, HEAP_ZERO_MEMORY, grown);
  if (!moved) {
    intact = 0;
    return 0;
  }
  memcpy(moved, scratch, capacity);
  HeapFree(heap, 0, scratch);
  scratch = moved;
  capacity = grown;
  return 1;
}

}  // namespace

int builderStart(void) {
  builderDiscard();
  scratch = (unsigned char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, initialCapacity);
  if (!scratch) return 0;
  capacity = initialCapacity;
  used = IMAGE_HEADER_SIZE;
  intact = 1;
  // Every header field -1: all of its bytes 0xFF.
  memset(scratch, 0xFF, 4u * HEADER_FIELD_COUNT);
  updateArenaCursor();
  return 1;
}

void builderDiscard(void) {
  if (scratch) HeapFree(GetProcessHeap(), 0, scratch);
  scratch = NULL;
  capacity = 0;
  used = 0;
  intact = 0;
  arenaCursor = NULL;
}

int builderIntact(void) { return intact; }

uint32_t builderUsed(void) { return used; }

const unsigned char *builderBytes(void) { return scratch; }

ImageOffset builderPlaceRecord(uint32_t size) {
  if (!reserve(size)) return NO_OFFSET;
  ImageOffset placed = (ImageOffset)used;
  memset(scratch + used, 0, size);
  used += size;
  updateArenaCursor();
  return placed;
}

ImageOffset builderPlaceString(const char *text) {
  if (!text) text = "";
  uint32_t length = (uint32_t)lstrlenA(text);
  if (length > IMAGE_MAX_STRING) length = IMAGE_MAX_STRING;
  if (!reserve(length + 1)) return NO_OFFSET;
  ImageOffset placed = (ImageOffset)used;
  memcpy(scratch + used, text, length);
  scratch[used + length] = '\0';
  used += length + 1;
  updateArenaCursor();
  return placed;
}

int32_t builderReadInt(uint32_t offset) {
  if (!scratch || offset > used - 4) return NO_OFFSET;
  return readImageInt(scratch, offset);
}

void builderWriteInt(uint32_t offset, int32_t value) {
  if (!scratch || offset > used - 4) return;
  writeImageInt(scratch, offset, value);
}

const char *builderString(ImageOffset offset) {
  if (!scratch || offset < 0 || (uint32_t)offset >= used) return "";
  return (const char *)scratch + offset;
}
