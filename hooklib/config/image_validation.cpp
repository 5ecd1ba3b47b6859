#include "config/image_validation.h"

#include "config/image_layout.h"

namespace {

struct ImageView {
  const unsigned char *bytes;
  uint32_t size;
};

// The arithmetic stays in 32 bits without wrapping: the image is at least
// a header long, and a field is read only at a header offset or inside a
// record already found to lie within the image.
int fieldAt(const ImageView &view, uint32_t offset, int32_t *value) {
  if (offset > view.size - 4) return 0;
  *value = readImageInt(view.bytes, offset);
  return 1;
}

int isRecord(const ImageView &view, int32_t offset, uint32_t recordSize) {
  return offset >= IMAGE_HEADER_SIZE && recordSize <= view.size &&
         (uint32_t)offset <= view.size - recordSize;
}

int isString(const ImageView &view, int32_t offset) {
  if (offset < IMAGE_HEADER_SIZE || (uint32_t)offset >= view.size) return 0;
  return boundedStringLength(view.bytes + offset, view.size - (uint32_t)offset) >= 0;
}

// A field of a record that isRecord has found whole in the image.
int32_t recordField(const ImageView &view, int32_t record, uint32_t field) {
  return readImageInt(view.bytes, (uint32_t)record + field);
}

// A match's extras record (0 or -1: none) lies whole in the image. The
// texts it names are read as every string is, through a reader that finds
// them in the image or not at all (config/image_access.h).
int hasValidExtras(const ImageView &view, int32_t match, int32_t count) {
  int32_t extras = recordField(view, match, MATCH_EXTRAS);
  return extras == 0 || extras == NO_OFFSET ||
         isRecord(view, extras, EXTRAS_PATTERN_SIZE * (uint32_t)count);
}

int isMatch(const ImageView &view, int32_t match) {
  if (!isRecord(view, match, MATCH_RECORD_SIZE)) return 0;
  int32_t count = recordField(view, match, MATCH_PATTERN_COUNT);
  if (!isString(view, recordField(view, match, MATCH_NAME)) || count < 0 ||
      count > MATCH_MAX_PATTERNS) {
    return 0;
  }
  for (int p = 1; p <= count; ++p) {
    for (uint32_t array : MATCH_CLASS_ARRAYS) {
      if (!isString(view, recordField(view, match, matchPatternField(array, p)))) return 0;
    }
  }
  return hasValidExtras(view, match, count);
}

int isList(const ImageView &view, int32_t list) {
  if (!isRecord(view, list, LIST_RECORD_SIZE)) return 0;
  int32_t count = recordField(view, list, LIST_COUNT);
  if (count < 0 || count > LIST_MAX_RULES) return 0;
  if (recordField(view, list, LIST_CLAIMED_EVENTS) & ~CLAIMED_EVENTS_ALL) return 0;
  for (int entry = 0; entry <= count; ++entry) {
    if (!isString(view, recordField(view, list, listEntryField(LIST_ACTION, entry)))) return 0;
    if (entry == 0) continue;
    int32_t match = recordField(view, list, listEntryField(LIST_MATCH, entry));
    if (match != NO_OFFSET && !isMatch(view, match)) return 0;
  }
  return 1;
}

// Follows a chain of records from `first` through the field at `nextField`.
int isChain(const ImageView &view, int32_t first, uint32_t nextField, int longest,
            int (*isRecordOfKind)(const ImageView &, int32_t)) {
  int32_t record = first;
  for (int length = 0; record != NO_OFFSET; ++length) {
    if (length >= longest || !isRecordOfKind(view, record)) return 0;
    fieldAt(view, (uint32_t)record + nextField, &record);
  }
  return 1;
}

}  // namespace

int validateImage(const unsigned char *image, uint32_t size) {
  if (!image || size < IMAGE_HEADER_SIZE) return 0;
  ImageView view = {image, size};
  int32_t value = 0;
  fieldAt(view, HEADER_FIRST_LIST, &value);
  if (!isChain(view, value, LIST_NEXT, IMAGE_MAX_LISTS, isList)) return 0;
  fieldAt(view, HEADER_FIRST_MATCH, &value);
  if (!isChain(view, value, MATCH_NEXT, IMAGE_MAX_MATCHES, isMatch)) return 0;
  for (uint32_t slot = HEADER_SLOT_LBUTTONDOWN; slot <= HEADER_SLOT_NCRBUTTONDOWN; slot += 4) {
    fieldAt(view, slot, &value);
    if (value != NO_OFFSET && !isList(view, value)) return 0;
  }
  fieldAt(view, HEADER_MASKXMOUSE_MATCH, &value);
  return value == NO_OFFSET || isMatch(view, value);
}
