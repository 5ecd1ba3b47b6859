#include "match_reasons.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/name_tables.h"
#include "config/profile_reader.h"
#include "diagnostics.h"

namespace {

const char *const WINDOW_WORDS[CLICK_WINDOW_COUNT] = {"the window under the pointer",
                                                      "the click target", "the root parent"};

bool hasWildcard(const char *className) {
  for (const char *c = className; *c; ++c) {
    if (*c == '*' || *c == '?') return true;
  }
  return false;
}

// The first condition of Pattern `p` the click does not meet, in the order
// the hooks test them: the hit-test code, then each class name.
std::string whyPatternFails(ImageOffset match, int p, ClickFacts *facts) {
  const char *classes[CLICK_WINDOW_COUNT];
  bool namesAClass = false;
  for (int which = 0; which < CLICK_WINDOW_COUNT; ++which) {
    classes[which] =
        imageString(imageRecordField(match, matchPatternField(MATCH_CLASS_ARRAYS[which], p)));
    if (classes[which] == NULL) return format("Pattern %c cannot be read", patternKeyChar(p));
    if (classes[which][0]) namesAClass = true;
  }
  int hitTest = imageRecordField(match, matchPatternField(MATCH_HIT_TEST, p));
  if (hitTest < 0 && !namesAClass) {
    return format("Pattern %c names nothing and never holds", patternKeyChar(p));
  }
  if (hitTest >= 0 && hitTest != facts->hitTest) {
    return format("Pattern %c wants hit-test %s; the click is on %s", patternKeyChar(p),
                  hitTestText(hitTest).c_str(), hitTestText(facts->hitTest).c_str());
  }
  for (int which = 0; which < CLICK_WINDOW_COUNT; ++which) {
    if (classes[which][0] == '\0') continue;
    const char *actual = clickClassName(facts, (ClickWindow)which);
    if (lstrcmpA(classes[which], actual) == 0) continue;
    return format("Pattern %c wants %s of class \"%s\"%s; it is \"%s\"", patternKeyChar(p),
                  WINDOW_WORDS[which], classes[which],
                  hasWildcard(classes[which]) ? " (exactly: * and ? are no wildcards)" : "",
                  actual);
  }
  return format("Pattern %c holds", patternKeyChar(p));
}

}  // namespace

std::string hitTestText(int code) {
  const char *name = hitTestName(code);
  return name ? std::string(name) : format("code %d", code);
}

std::vector<std::string> whyMatchFails(ImageOffset match, const IniDocument &doc,
                                       ClickFacts *facts) {
  std::vector<std::string> reasons;
  const char *name = imageString(imageRecordField(match, MATCH_NAME));
  if (name == NULL || name[0] == '\0') return reasons;
  int count = imageRecordField(match, MATCH_PATTERN_COUNT);
  if (!doc.section(std::string("Match.") + name)) {
    reasons.push_back(format("there is no [Match.%s] section, so the match has no Patterns", name));
  } else if (count <= 0) {
    reasons.push_back(format("[Match.%s] has no Patterns (nPattern is missing, 0 or less)", name));
  }
  if (!reasons.empty()) return reasons;
  for (int p = 1; p <= count && p <= MATCH_MAX_PATTERNS; ++p) {
    reasons.push_back(whyPatternFails(match, p, facts));
  }
  return reasons;
}
