// MatchRecords: one per distinct match name, filled from section
// `Match.<name>` the first time the name is met.
#include "config/match_compiler.h"

#include <windows.h>

#include "config/image_builder.h"
#include "config/name_tables.h"
#include "config/profile_reader.h"

namespace {

ImageOffset findMatch(const char *name) {
  ImageOffset record = builderReadInt(HEADER_FIRST_MATCH);
  while (record != NO_OFFSET) {
    if (lstrcmpA(builderString(builderReadInt((uint32_t)record + MATCH_NAME)), name) == 0) {
      return record;
    }
    record = builderReadInt((uint32_t)record + MATCH_NEXT);
  }
  return NO_OFFSET;
}

// Links `record` at the end of the MatchRecord chain.
void appendMatch(ImageOffset record) {
  uint32_t link = HEADER_FIRST_MATCH;
  ImageOffset current = builderReadInt(link);
  while (current != NO_OFFSET) {
    link = (uint32_t)current + MATCH_NEXT;
    current = builderReadInt(link);
  }
  builderWriteInt(link, record);
}

// nPattern as stored: Patterns have slots and keys only for 1 to 35, so a
// larger count is cut to 35 and a negative one counts as none.
int boundedPatternCount(int count) {
  if (count < 0) return 0;
  if (count > MATCH_MAX_PATTERNS) return MATCH_MAX_PATTERNS;
  return count;
}

// Reads Pattern p's three class names and hit-test name into the record.
void compilePattern(ImageOffset record, const char *section, int p) {
  char key[PROFILE_NAME_BUFFER];
  char value[PROFILE_VALUE_BUFFER];
  for (int which = 0; which < MATCH_CLASS_ARRAY_COUNT; ++which) {
    buildPatternKey(key, p, PATTERN_CLASS_KEY_SUFFIXES[which]);
    readProfileString(section, key, "", value);
    ImageOffset text = builderPlaceString(value);
    builderWriteInt((uint32_t)record + matchPatternField(MATCH_CLASS_ARRAYS[which], p), text);
  }
  buildPatternKey(key, p, PATTERN_HIT_TEST_KEY_SUFFIX);
  readProfileString(section, key, "", value);
  builderWriteInt((uint32_t)record + matchPatternField(MATCH_HIT_TEST, p),
                  hitTestCodeFromName(value));
}

}  // namespace

extern "C" ImageOffset findOrCreateMatch(const char *name) {
  if (!name) name = "";
  ImageOffset existing = findMatch(name);
  if (existing != NO_OFFSET) return existing;

  ImageOffset record = builderPlaceRecord(MATCH_RECORD_SIZE);
  if (record == NO_OFFSET) return NO_OFFSET;
  builderWriteInt((uint32_t)record + MATCH_NEXT, NO_OFFSET);
  appendMatch(record);
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
