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

// A Pattern's class names and hit-test name are read in the order in
// which their arrays follow each other in the MatchRecord.
enum { PATTERN_ARRAY_SPAN = MATCH_ACTIVE_CLASS - MATCH_INVOKED_CLASS };
static_assert(MATCH_PARENT_CLASS == MATCH_ACTIVE_CLASS + PATTERN_ARRAY_SPAN &&
                  MATCH_HIT_TEST == MATCH_PARENT_CLASS + PATTERN_ARRAY_SPAN,
              "a MatchRecord's Pattern arrays follow each other in the order their keys are read");

// Where Pattern p's extra `extra` goes. The record of extras is placed at
// the first one a match names, so a match that names none compiles as if
// they did not exist.
uint32_t extrasField(ImageOffset match, int p, int extra, int count) {
  ImageOffset extras = builderReadInt((uint32_t)match + MATCH_EXTRAS);
  if (extras == 0) {
    extras = builderPlaceRecord(EXTRAS_PATTERN_SIZE * (uint32_t)count);
    builderWriteInt((uint32_t)match + MATCH_EXTRAS, extras);
  }
  return (uint32_t)extras + extrasPatternField(p, 4u * (uint32_t)extra);
}

// Reads Pattern p's three class names, its hit-test name, then the keys,
// program and title it names into the record. An empty extra names
// nothing, like an empty class name.
void compilePattern(ImageOffset record, const char *section, int p, int count) {
  char key[PROFILE_NAME_BUFFER];
  char value[PROFILE_VALUE_BUFFER];
  for (int which = 0; which < PATTERN_KEY_COUNT; ++which) {
    buildPatternKey(key, p, patternKeySuffix(which));
    readProfileString(section, key, "", value);
    uint32_t at =
        (uint32_t)record + matchPatternField(MATCH_INVOKED_CLASS + PATTERN_ARRAY_SPAN * which, p);
    if (which >= PATTERN_KEY_KEYS) {
      if (value[0] == '\0') continue;
      at = extrasField(record, p, which - PATTERN_KEY_KEYS, count);
    }
    int32_t field = which == PATTERN_KEY_HIT_TEST ? hitTestCodeFromName(value)
                    : which == PATTERN_KEY_KEYS   ? keysFromNames(value)
                                                  : builderPlaceString(value);
    builderWriteInt(at, field);
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
  for (int p = 1; p <= count; ++p) compilePattern(record, section, p, count);
  return record;
}
