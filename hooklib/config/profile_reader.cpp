#include "config/profile_reader.h"

#include <windows.h>

#include "hooks/shared_state.h"

void readProfileString(const char *section, const char *key, const char *fallback, char *value) {
  value[0] = '\0';
  GetPrivateProfileStringA(section, key, fallback, value, PROFILE_VALUE_BUFFER, iniPath);
  value[PROFILE_VALUE_BUFFER - 1] = '\0';
}

int readProfileInt(const char *section, const char *key, int fallback) {
  return (int)GetPrivateProfileIntA(section, key, fallback, iniPath);
}

void buildPatternKey(char *key, char keyChar, const char *suffix) {
  key[0] = keyChar;
  key[1] = '\0';
  lstrcatA(key, suffix);
}

void buildRuleKey(char *key, int number, const char *suffix) {
  key[0] = (char)('0' + number);
  key[1] = '\0';
  lstrcatA(key, suffix);
}

int buildMatchSectionName(char *section, const char *name) {
  static const char prefix[] = "Match.";
  int prefixLength = (int)sizeof prefix - 1;
  if (lstrlenA(name) > PROFILE_NAME_BUFFER - 1 - prefixLength) return 0;
  lstrcpyA(section, prefix);
  lstrcatA(section, name);
  return 1;
}
