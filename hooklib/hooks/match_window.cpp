#include "hooks/match_window.h"

#include <windows.h>

#include "config/image_access.h"

namespace {

static_assert((int)MATCH_CLASS_ARRAY_COUNT == (int)CLICK_WINDOW_COUNT,
              "a Pattern names one class for each window of a click");

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

// The hit-test code is compared before any class name: it costs nothing,
// while a class name costs a call into the system.
int patternMatches(ImageOffset match, int pattern, ClickFacts *facts) {
  PatternClasses classes;
  if (!readPatternClasses(match, pattern, classes)) return 0;
  int hitTest = imageRecordField(match, matchPatternField(MATCH_HIT_TEST, pattern));
  if (hitTest < 0 && namesNoClass(classes)) return 0;  // names nothing: matches nothing
  if (hitTest >= 0 && hitTest != facts->hitTest) return 0;
  for (int i = 0; i < CLICK_WINDOW_COUNT; ++i) {
    if (classes[i][0] == '\0') continue;
    if (lstrcmpA(classes[i], clickClassName(facts, (ClickWindow)i)) != 0) return 0;
  }
  return 1;
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
