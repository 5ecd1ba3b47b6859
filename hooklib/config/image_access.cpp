#include "config/image_access.h"

#include "config/loader_state.h"

int32_t imageField(ImageOffset offset) {
  if (!imageHeader || offset < 0 || imageSize < 4 || (uint32_t)offset > imageSize - 4) {
    return NO_OFFSET;
  }
  return readImageInt(imageHeader, (uint32_t)offset);
}

int32_t imageRecordField(ImageOffset record, uint32_t fieldOffset) {
  if (record < 0) return NO_OFFSET;
  uint64_t at = (uint64_t)(uint32_t)record + fieldOffset;
  if (at > 0x7FFFFFFFu) return NO_OFFSET;
  return imageField((ImageOffset)at);
}

const char *imageString(ImageOffset offset) {
  if (!imageHeader || offset < 0 || (uint32_t)offset >= imageSize) return NULL;
  const unsigned char *text = imageHeader + offset;
  if (boundedStringLength(text, imageSize - (uint32_t)offset) < 0) return NULL;
  return (const char *)text;
}

// The bytes are read once, into `buffer`, and the NUL is looked for in the
// copy: what the daemon writes into the image meanwhile cannot take the
// terminator away from under a compare.
int copyImageString(ImageOffset offset, char *buffer) {
  buffer[0] = '\0';
  if (!imageHeader || offset < 0 || (uint32_t)offset >= imageSize) return 0;
  uint32_t available = imageSize - (uint32_t)offset;
  uint32_t span = available < (uint32_t)IMAGE_STRING_SPAN ? available : (uint32_t)IMAGE_STRING_SPAN;
  memcpy(buffer, imageHeader + offset, span);
  if (boundedStringLength((const unsigned char *)buffer, span) >= 0) return 1;
  buffer[0] = '\0';
  return 0;
}

// The walk is bounded as the validated chain is: a damaged link ends it.
ImageOffset claimedEventList(int bit) {
  ImageOffset claimer = NO_OFFSET;
  ImageOffset list = imageField(HEADER_FIRST_LIST);
  for (int length = 0; list != NO_OFFSET && length < IMAGE_MAX_LISTS; ++length) {
    if (imageRecordField(list, LIST_CLAIMED_EVENTS) & (1 << bit)) claimer = list;
    list = imageRecordField(list, LIST_NEXT);
  }
  return claimer;
}
