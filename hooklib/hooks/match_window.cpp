#include "hooks/match_window.h"

#include <windows.h>

#include "config/image_access.h"
#include "hooks/wildcard_match.h"

namespace {

static_assert((int)MATCH_CLASS_ARRAY_COUNT == (int)CLICK_WINDOW_COUNT,
              "a Pattern names one class for each window of a click");
static_assert(EXTRAS_KEYS == 0 && EXTRAS_PROGRAM == 4 * (1 + CLICK_PROGRAM) &&
                  EXTRAS_TITLE == 4 * (1 + CLICK_TITLE),
              "the extras record holds the keys, then the texts in the order of a click's");

int patternCount(ImageOffset match) {
  int count = imageRecordField(match, MATCH_PATTERN_COUNT);
  return count > MATCH_MAX_PATTERNS ? MATCH_MAX_PATTERNS : count;
}

typedef char PatternClasses[CLICK_WINDOW_COUNT][IMAGE_STRING_SPAN];

// A Pattern whose class names cannot be read from the image is treated as
// naming nothing it could match. Each name is copied out once and compared
// in the copy.
int readPatternClasses(ImageOffset match, int pattern, PatternClasses classes) {
  for (int i = 0; i < CLICK_WINDOW_COUNT; ++i) {
    ImageOffset name = imageRecordField(match, matchPatternField(MATCH_CLASS_ARRAYS[i], pattern));
    if (!copyImageString(name, classes[i])) return 0;
  }
  return 1;
}

int namesNoClass(const PatternClasses classes) {
  return classes[CLICK_INVOKED][0] == '\0' && classes[CLICK_ACTIVE][0] == '\0' &&
         classes[CLICK_PARENT][0] == '\0';
}

// The Pattern's conditions on the keys held, the program and the title,
// cheapest first; `named` tells whether its classes or hit-test code name
// anything. A Pattern that names nothing at all matches nothing. The
// click's texts are read in upper case; the Pattern's are brought to it.
int extrasHold(ImageOffset match, int pattern, ClickFacts *facts, int named) {
  ImageOffset extras = imageRecordField(match, MATCH_EXTRAS);
  if (extras <= 0) return named;  // 0 (never written) or -1: none
  for (int which = 0; which < EXTRAS_FIELD_COUNT; ++which) {
    int32_t wanted = imageRecordField(extras, extrasPatternField(pattern, 4u * (uint32_t)which));
    if (wanted == 0) continue;
    named = 1;
    if (which == 0) {
      if (wanted != (KEYS_NAMED | clickKeys(facts))) return 0;
      continue;
    }
    char wantedText[IMAGE_STRING_SPAN];
    if (!copyImageString(wanted, wantedText)) return 0;
    toUpperCase(wantedText);
    if (!wildcardMatches(wantedText, clickText(facts, (ClickText)(which - 1)))) return 0;
  }
  return named;
}

// The hit-test code is compared before any class name: it costs nothing,
// while a class name costs a call into the system.
int patternMatches(ImageOffset match, int pattern, ClickFacts *facts) {
  PatternClasses classes;
  if (!readPatternClasses(match, pattern, classes)) return 0;
  int hitTest = imageRecordField(match, matchPatternField(MATCH_HIT_TEST, pattern));
  if (hitTest >= 0 && hitTest != facts->hitTest) return 0;
  for (int i = 0; i < CLICK_WINDOW_COUNT; ++i) {
    if (classes[i][0] == '\0') continue;
    if (lstrcmpA(classes[i], clickClassName(facts, (ClickWindow)i)) != 0) return 0;
  }
  return extrasHold(match, pattern, facts, hitTest >= 0 || !namesNoClass(classes));
}

}  // namespace

int matchClick(ImageOffset match, ClickFacts *facts) {
  if (match == NO_OFFSET) return 0;
  const char *name = imageString(imageRecordField(match, MATCH_NAME));
  if (name == NULL) return 0;
  if (name[0] == '\0') return 1;  // the empty name holds for every window
  int count = patternCount(match);
  for (int pattern = 1; pattern <= count; ++pattern) {
    if (patternMatches(match, pattern, facts)) return 1;
  }
  return 0;
}

int matchWindow(ImageOffset matchOffset, HWND hwndInvoked, HWND hwndActive, HWND hwndParent,
                int hitTest) {
  ClickFacts facts;
  describeClickWindows(&facts, hwndInvoked, hwndActive, hwndParent, hitTest);
  return matchClick(matchOffset, &facts);
}
