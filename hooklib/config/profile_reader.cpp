#include "config/profile_reader.h"

#include <windows.h>

#include "config/loader_state.h"
#include "system/name_lists.h"

void readProfileString(const char *section, const char *key, const char *fallback, char *value) {
  value[0] = '\0';
  GetPrivateProfileStringA(section, key, fallback, value, PROFILE_VALUE_BUFFER, iniPath);
  value[PROFILE_VALUE_BUFFER - 1] = '\0';
}

int readProfileInt(const char *section, const char *key, int fallback) {
  return (int)GetPrivateProfileIntA(section, key, fallback, iniPath);
}

const char PATTERN_KEY_SUFFIXES[] =
    ".Invoked.Class\0.Active.Class\0.Parent.Class\0.NCHitTest\0.Keys\0.Process\0.Title\0";

const char *patternKeySuffix(int which) { return nameListAt(PATTERN_KEY_SUFFIXES, which); }

char patternKeyChar(int pattern) {
  static const char keyChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  return keyChars[pattern];
}

void buildPatternKey(char *key, int pattern, const char *suffix) {
  key[0] = patternKeyChar(pattern);
  key[1] = '\0';
  lstrcatA(key, suffix);
}

void buildRuleKey(char *key, int number, const char *suffix) {
  key[0] = (char)('0' + number);
  key[1] = '\0';
  lstrcatA(key, suffix);
}

// Names are built by appending to an empty string: one string function
// fewer for the library to import.
void buildNumberedName(char *name, const char *prefix, int number) {
  name[0] = '\0';
  lstrcatA(name, prefix);
  char digit[2] = {(char)('0' + number), '\0'};
  lstrcatA(name, digit);
}

int buildMatchSectionName(char *section, const char *name) {
  static const char prefix[] = "Match.";
  int prefixLength = (int)sizeof prefix - 1;
  if (lstrlenA(name) > PROFILE_NAME_BUFFER - 1 - prefixLength) return 0;
  section[0] = '\0';
  lstrcatA(section, prefix);
  lstrcatA(section, name);
  return 1;
}
