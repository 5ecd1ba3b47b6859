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
  const char *text = (const char *)imageHeader + offset;
  if (!memchr(text, '\0', imageSize - (uint32_t)offset)) return NULL;
  return text;
}
