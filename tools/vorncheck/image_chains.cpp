#include "image_chains.h"

#include "config/image_access.h"

namespace {

std::vector<ImageOffset> chain(uint32_t headerField, uint32_t nextField, size_t longest) {
  std::vector<ImageOffset> records;
  for (ImageOffset record = imageField((ImageOffset)headerField);
       record != NO_OFFSET && records.size() < longest;
       record = imageRecordField(record, nextField)) {
    records.push_back(record);
  }
  return records;
}

}  // namespace

std::vector<ImageOffset> loadedLists() {
  return chain(HEADER_FIRST_LIST, LIST_NEXT, IMAGE_MAX_LISTS);
}

std::vector<ImageOffset> loadedMatches() {
  return chain(HEADER_FIRST_MATCH, MATCH_NEXT, IMAGE_MAX_MATCHES);
}

int listNumberOf(ImageOffset list) {
  std::vector<ImageOffset> lists = loadedLists();
  for (size_t i = 0; i < lists.size(); ++i) {
    if (lists[i] == list) return (int)i + 1;
  }
  return 0;
}
