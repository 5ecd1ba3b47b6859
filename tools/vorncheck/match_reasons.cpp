#include "match_reasons.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/name_tables.h"
#include "config/profile_reader.h"
#include "diagnostics.h"
#include "hooks/wildcard_match.h"

namespace {

const char *const WINDOW_WORDS[CLICK_WINDOW_COUNT] = {"the window under the pointer",
                                                      "the click target", "the root parent"};

bool hasWildcard(const char *className) {
  for (const char *c = className; *c; ++c) {
    if (*c == '*' || *c == '?') return true;
  }
  return false;
}

// Pattern p's field `field` of the match's keys, program and title; 0
// where it names none.
int32_t patternExtra(ImageOffset match, int p, uint32_t field) {
  ImageOffset extras = imageRecordField(match, MATCH_EXTRAS);
  return extras <= 0 ? 0 : imageRecordField(extras, extrasPatternField(p, field));
}

bool namesAnExtra(ImageOffset match, int p) {
  return patternExtra(match, p, EXTRAS_KEYS) || patternExtra(match, p, EXTRAS_PROGRAM) ||
         patternExtra(match, p, EXTRAS_TITLE);
}

// The first of the Pattern's keys, program and title the click does not
// meet, in the order the hooks test them; "" when all hold.
std::string whyExtrasFail(ImageOffset match, int p, ClickFacts *facts) {
  int keys = patternExtra(match, p, EXTRAS_KEYS);
  if (keys && keys != (KEYS_NAMED | clickKeys(facts))) {
    return format("Pattern %c wants the keys %s held; the click has %s", patternKeyChar(p),
                  keysText(keys).c_str(), keysText(clickKeys(facts)).c_str());
  }
  static const char *const WORDS[] = {"program", "title"};
  for (int which = CLICK_PROGRAM; which <= CLICK_TITLE; ++which) {
    const char *wanted = imageString(patternExtra(match, p, 4u * (uint32_t)(which + 1)));
    if (!wanted) continue;
    std::string upper = wanted;
    toUpperCase(&upper[0]);
    const char *actual = clickText(facts, (ClickText)which);
    if (wildcardMatches(upper.c_str(), actual)) continue;
    return format("Pattern %c wants the %s \"%s\"; it is \"%s\"", patternKeyChar(p), WORDS[which],
                  wanted, actual);
  }
  return "";
}

// The first condition of Pattern `p` the click does not meet, in the order
// the hooks test them: the hit-test code, each class name, then the keys,
// the program and the title.
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
  if (hitTest < 0 && !namesAClass && !namesAnExtra(match, p)) {
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
  std::string extras = whyExtrasFail(match, p, facts);
  if (!extras.empty()) return extras;
  return format("Pattern %c holds", patternKeyChar(p));
}

}  // namespace

std::string keysText(int keys) {
  std::string text;
  for (int bit = 0; bit < 4; ++bit) {
    if (!(keys & (1 << bit))) continue;
    if (!text.empty()) text += "+";
    text += keyName(bit);
  }
  if (keys & KEYS_UNKNOWN)
    text += text.empty() ? "(a name that is no key)" : "+(a name that is no key)";
  return text.empty() ? "None" : text;
}

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
