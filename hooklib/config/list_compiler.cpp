// ListRecords: sections List1 to List9, their event assignments, their rules
// and their default rule.
#include "config/list_compiler.h"

#include <windows.h>

#include "config/image_builder.h"
#include "config/match_compiler.h"
#include "config/name_tables.h"
#include "config/profile_reader.h"

namespace {

const char foregroundSuffix[] = ".Foreground";
const char notForegroundSuffix[] = ".NotForeground";

// Cuts `suffix` off the end of `text` when it is there; 1 if it was.
int cutSuffix(char *text, const char *suffix) {
  int length = lstrlenA(text);
  int suffixLength = lstrlenA(suffix);
  if (length < suffixLength || lstrcmpA(text + length - suffixLength, suffix) != 0) return 0;
  text[length - suffixLength] = '\0';
  return 1;
}

void assignEvents(const char *section, ImageOffset list) {
  char key[PROFILE_NAME_BUFFER];
  char value[PROFILE_VALUE_BUFFER];
  for (int number = 1; number <= 9; ++number) {
    buildNumberedName(key, "Hook", number);
    readProfileString(section, key, "", value);
    if (value[0] == '\0') return;
    setEventListSlot(value, list);
  }
}

void writeEntry(ImageOffset list, int entry, uint32_t array, int32_t value) {
  builderWriteInt((uint32_t)list + listEntryField(array, entry), value);
}

// A rule whose N.Match is commented out keeps its number but takes no part
// in the walk: its condition can never hold, so it neither wins nor hands
// the click on to the next rule.
void compileCommentedRule(ImageOffset list, int number) {
  writeEntry(list, number, LIST_MATCH, findOrCreateMatch(""));
  writeEntry(list, number, LIST_FOREGROUND, FOREGROUND_NEVER);
  writeEntry(list, number, LIST_ACTION, builderPlaceString(""));
  writeEntry(list, number, LIST_POLICY, POLICY_NONE);
}

// The action of rule `number` (0: the default rule) from `actionKey`, its
// MinimizedPolicy from `actionKey` with ".IfNextIsMinimized" after it.
void compileAction(ImageOffset list, const char *section, int number, const char *actionKey) {
  char key[PROFILE_NAME_BUFFER];
  char value[PROFILE_VALUE_BUFFER];
  readProfileString(section, actionKey, "Default", value);
  writeEntry(list, number, LIST_ACTION, builderPlaceString(value));
  key[0] = '\0';  // appended to: lstrcatA is imported anyway, lstrcpyA is not
  lstrcatA(key, actionKey);
  lstrcatA(key, ".IfNextIsMinimized");
  readProfileString(section, key, "", value);
  writeEntry(list, number, LIST_POLICY, minimizedPolicyFromName(value));
}

void compileRule(ImageOffset list, const char *section, int number, char *matchValue) {
  char key[PROFILE_NAME_BUFFER];
  int condition = takeForegroundCondition(matchValue);
  writeEntry(list, number, LIST_FOREGROUND, condition);
  writeEntry(list, number, LIST_MATCH, findOrCreateMatch(matchValue));
  buildRuleKey(key, number, ".Action");
  compileAction(list, section, number, key);
}

// Rules 1 to 9, up to the first empty N.Match.
void compileRules(const char *section, ImageOffset list) {
  char key[PROFILE_NAME_BUFFER];
  char value[PROFILE_VALUE_BUFFER];
  int count = 0;
  for (int number = 1; number <= LIST_MAX_RULES; ++number) {
    buildRuleKey(key, number, ".Match");
    readProfileString(section, key, "", value);
    if (value[0] == '\0') break;
    count = number;
    if (value[0] == ';') {
      compileCommentedRule(list, number);
    } else {
      compileRule(list, section, number, value);
    }
  }
  builderWriteInt((uint32_t)list + LIST_COUNT, count);
}

// The default rule's ForegroundCondition is the list's mask of claimed
// events (LIST_CLAIMED_EVENTS), which assignEvents has written already: the
// record was placed zeroed, and a list that claims none keeps the 0 there.
void compileDefaultRule(const char *section, ImageOffset list) {
  compileAction(list, section, 0, "Default.Action");
}

ImageOffset compileList(const char *section) {
  ImageOffset list = builderPlaceRecord(LIST_RECORD_SIZE);
  if (list == NO_OFFSET) return NO_OFFSET;
  builderWriteInt((uint32_t)list + LIST_NEXT, NO_OFFSET);
  assignEvents(section, list);
  compileRules(section, list);
  compileDefaultRule(section, list);
  return list;
}

}  // namespace

int takeForegroundCondition(char *matchValue) {
  if (cutSuffix(matchValue, foregroundSuffix)) return FOREGROUND_ONLY;
  if (cutSuffix(matchValue, notForegroundSuffix)) return FOREGROUND_NOT;
  return FOREGROUND_NONE;
}

void compileLists(const char *sectionNames) {
  char section[PROFILE_NAME_BUFFER];
  uint32_t link = HEADER_FIRST_LIST;
  for (int number = 1; number <= IMAGE_MAX_LISTS; ++number) {
    buildNumberedName(section, "List", number);
    if (!sectionNameListContains(sectionNames, section)) return;
    ImageOffset list = compileList(section);
    if (list == NO_OFFSET) return;
    builderWriteInt(link, list);
    link = (uint32_t)list + LIST_NEXT;
  }
}
