// Reading vorn.ini through the system's profile functions, with the fixed
// buffers the loader uses.
#pragma once

#include "config/image_layout.h"

enum {
  PROFILE_VALUE_BUFFER = 256,  // a value longer than 255 characters is cut
  PROFILE_NAME_BUFFER = 256,   // key and section names are built in these
  SECTION_NAMES_BUFFER = 1024, // the names of all sections together
};

// Reads `key` of `section` from iniPath into `value` (PROFILE_VALUE_BUFFER
// bytes), `fallback` when the key is missing.
void readProfileString(const char *section, const char *key, const char *fallback, char *value);

// Reads `key` of `section` from iniPath as an integer.
int readProfileInt(const char *section, const char *key, int fallback);

// The key suffixes of a Pattern, packed in the order the loader reads
// them: its three class names, in the order of the MatchRecord's class
// arrays, its hit-test name, then the keys held, the program and the
// title, in the order of their fields in the match's extras record.
extern const char PATTERN_KEY_SUFFIXES[];
enum {
  PATTERN_KEY_HIT_TEST = 3,
  PATTERN_KEY_KEYS = 4,
  PATTERN_KEY_PROGRAM = 5,
  PATTERN_KEY_TITLE = 6,
  PATTERN_KEY_COUNT = 7,
};

// The key suffix at position `which` of PATTERN_KEY_SUFFIXES.
const char *patternKeySuffix(int which);

// The character that numbers Pattern `pattern` (1 to 35) in its keys:
// '1' to '9', then 'A' to 'Z'.
char patternKeyChar(int pattern);

// Builds "<key character of `pattern`><suffix>" into `key`
// (PROFILE_NAME_BUFFER bytes).
void buildPatternKey(char *key, int pattern, const char *suffix);

// Builds "<number><suffix>" into `key` for numbers 1 to 9.
void buildRuleKey(char *key, int number, const char *suffix);

// Builds "<prefix><number>" ("List3", "Hook7") into `name` for numbers 1
// to 9.
void buildNumberedName(char *name, const char *prefix, int number);

// Builds "Match.<name>" into `section` (PROFILE_NAME_BUFFER bytes); 0 when
// it would not fit a 255-character section name.
int buildMatchSectionName(char *section, const char *name);
