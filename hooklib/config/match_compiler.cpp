// MatchRecords: one per distinct match name, filled from section
// `Match.<name>` the first time the name is met.
#include "config/match_compiler.h"

#include <windows.h>

#include "config/image_builder.h"
#include "config/name_tables.h"
#include "config/profile_reader.h"

namespace {

// The record named `name`; NO_OFFSET when there is none, with `lastLink`
// set to the field that ends the chain, where a new record is linked.
ImageOffset findMatch(const char *name, uint32_t *lastLink) {
  uint32_t link = HEADER_FIRST_MATCH;
  ImageOffset record = builderReadInt(link);
  while (record != NO_OFFSET) {
    if (lstrcmpA(builderString(builderReadInt((uint32_t)record + MATCH_NAME)), name) == 0) {
      return record;
    }
    link = (uint32_t)record + MATCH_NEXT;
    record = builderReadInt(link);
  }
  *lastLink = link;
  return NO_OFFSET;
}

// nPattern as stored: Patterns have slots and keys only for 1 to 35, so a
// larger count is cut to 35 and a negative one counts as none.
int boundedPatternCount(int count) {
  if (count < 0) return 0;
  if (count > MATCH_MAX_PATTERNS) return MATCH_MAX_PATTERNS;
  return count;
}

// Reads Pattern p's three class names, then its hit-test name, into the
// record.
void compilePattern(ImageOffset record, const char *section, int p) {
  char key[PROFILE_NAME_BUFFER];
  char value[PROFILE_VALUE_BUFFER];
  for (int which = 0; which <= MATCH_CLASS_ARRAY_COUNT; ++which) {
    bool className = which < MATCH_CLASS_ARRAY_COUNT;
    buildPatternKey(key, p,
                    className ? PATTERN_CLASS_KEY_SUFFIXES[which] : PATTERN_HIT_TEST_KEY_SUFFIX);
    readProfileString(section, key, "", value);
    int32_t field = className ? builderPlaceString(value) : hitTestCodeFromName(value);
    uint32_t array = className ? MATCH_CLASS_ARRAYS[which] : (uint32_t)MATCH_HIT_TEST;
    builderWriteInt((uint32_t)record + matchPatternField(array, p), field);
  }
}

}  // namespace

extern "C" ImageOffset findOrCreateMatch(const char *name) {
  if (!name) name = "";
  uint32_t lastLink = HEADER_FIRST_MATCH;
  ImageOffset existing = findMatch(name, &lastLink);
  if (existing != NO_OFFSET) return existing;

  ImageOffset record = builderPlaceRecord(MATCH_RECORD_SIZE);
  if (record == NO_OFFSET) return NO_OFFSET;
  builderWriteInt((uint32_t)record + MATCH_NEXT, NO_OFFSET);
  builderWriteInt(lastLink, record);
  builderWriteInt((uint32_t)record + MATCH_NAME, builderPlaceString(name));

  // A name too long for "Match.<name>" to fit a section name has no section
  // to read: it gets no Patterns rather than those of a cut-short name.
  char section[PROFILE_NAME_BUFFER];
  int count = 0;
  if (buildMatchSectionName(section, name)) {
    count = boundedPatternCount(readProfileInt(section, "nPattern", 0));
  }
  builderWriteInt((uint32_t)record + MATCH_PATTERN_COUNT, count);
  for (int p = 1; p <= count; ++p) compilePattern(record, section, p);
  return record;
}
