// The checks: each compares what the file says (IniDocument, with line
// numbers) with what the loader compiled (this process's image), and
// reports what will not do what the user probably meant.
#include "config_checks.h"

#include <windows.h>

#include <set>

#include "config/image_access.h"
#include "config/list_compiler.h"
#include "config/loader_state.h"
#include "config/name_tables.h"
#include "config/options.h"
#include "config/profile_reader.h"
#include "image_chains.h"
#include "known_names.h"
#include "name_findings.h"

namespace {

struct CheckContext {
  const IniDocument &doc;
  Diagnostics &out;
};

int lineOf(const IniKey *key) { return key ? key->line : 0; }

std::string listSectionName(int number) { return format("List%d", number); }

// ---- the file's encoding ---------------------------------------------------------

// Windows' profile functions know no UTF-8 byte order mark: it is read as
// the first bytes of line 1, and a section header there is no header. (Wine
// strips the mark, so a test under Wine never shows it.)
void checkUtf8Mark(CheckContext &c) {
  if (!c.doc.startsWithUtf8Mark()) return;
  const std::string &line = c.doc.firstLineAfterMark();
  std::string lost = !line.empty() && line[0] == '['
                         ? format(": the daemon does not see the section header %s, and the "
                                  "keys under it belong to no section",
                                  line.c_str())
                         : "";
  c.out.warn(1, format("the file starts with a UTF-8 byte order mark, which Windows reads as "
                       "part of line 1%s; save vorn.ini as ANSI or as UTF-8 without BOM",
                       lost.c_str()));
}

// ---- section names --------------------------------------------------------------

void checkSectionNameBuffer(CheckContext &c) {
  size_t used = 1;
  for (const IniSection &section : c.doc.sections()) {
    used += section.name.size() + 1;
    if (used > SECTION_NAMES_BUFFER - 1) {
      c.out.warn(section.line,
                 format("the names of all sections take %u bytes, more than the %d that are read: "
                        "[%s] and the sections after it are not seen, and no list among them is "
                        "loaded",
                        (unsigned)c.doc.sectionNamesBytes(), SECTION_NAMES_BUFFER,
                        section.name.c_str()));
      return;
    }
  }
}

// Only the first of several sections of one name (in any letter case) is
// ever searched for keys.
void checkDuplicateSections(CheckContext &c) {
  const std::vector<IniSection> &sections = c.doc.sections();
  for (size_t i = 0; i < sections.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (sameNameIgnoringCase(sections[i].name, sections[j].name)) {
        c.out.warn(sections[i].line,
                   format("[%s] repeats [%s] of line %d: only the first is read",
                          sections[i].name.c_str(), sections[j].name.c_str(), sections[j].line));
        break;
      }
    }
  }
}

// 1 when a section before `section` has its name in some letter case.
int repeatsAnEarlierSection(const IniDocument &doc, const IniSection &section) {
  for (const IniSection &earlier : doc.sections()) {
    if (&earlier == &section) return 0;
    if (sameNameIgnoringCase(earlier.name, section.name)) return 1;
  }
  return 0;
}

void checkUnloadedList(CheckContext &c, const IniSection &section, int number);

// A section named like a list in other letter case is not found by the
// list scan; but when the exact name stands later in the file, the list is
// loaded and its keys are read from this, the first, section.
void checkMiscasedListSection(CheckContext &c, const IniSection &section, int number,
                              const std::string &exact) {
  for (const IniSection &other : c.doc.sections()) {
    if (other.name == exact) {
      c.out.warn(section.line, format("[%s] comes before [%s] of line %d: the list's keys are "
                                      "read from [%s]",
                                      section.name.c_str(), exact.c_str(), other.line,
                                      section.name.c_str()));
      return;
    }
  }
  c.out.error(section.line, format("[%s] is not a list: list sections are named exactly [%s]",
                                   section.name.c_str(), exact.c_str()));
  checkUnloadedList(c, section, number);
}

void checkListSections(CheckContext &c) {
  int loaded = (int)loadedLists().size();
  for (const IniSection &section : c.doc.sections()) {
    if (repeatsAnEarlierSection(c.doc, section)) continue;  // reported as repeated
    for (int number = 1; number <= 9; ++number) {
      std::string exact = listSectionName(number);
      if (section.name == exact) {
        if (number == loaded + 1) {
          c.out.error(section.line, format("[%s] is not loaded: its name lies beyond the section "
                                           "names that are read", exact.c_str()));
          checkUnloadedList(c, section, number);
        } else if (number > loaded + 1) {
          c.out.error(section.line,
                      format("[%s] is not loaded: lists are read from List1 up to the first one "
                             "missing, and List%d is missing",
                             exact.c_str(), loaded + 1));
          checkUnloadedList(c, section, number);
        }
      } else if (sameNameIgnoringCase(section.name, exact)) {
        checkMiscasedListSection(c, section, number, exact);
      }
    }
  }
}

// ---- lists ------------------------------------------------------------------------

// The keys `<prefix><n><suffix>` for n from 1 to 9 present in `section`.
std::vector<const IniKey *> numberedKeys(const IniSection *section, const char *prefix,
                                         const char *suffix) {
  std::vector<const IniKey *> keys(10, nullptr);
  for (int n = 1; n <= 9; ++n) {
    keys[n] = IniDocument::key(section, format("%s%d%s", prefix, n, suffix));
  }
  return keys;
}

// One list section as the checks see it: loaded, or not loaded and checked
// all the same, so that one run shows every mistake.
struct ListScope {
  const IniSection *section;
  int number;
  int ruleCount;         // the rules the loader reads, or would read
  std::string unloaded;  // "" for a loaded list, else its section: "[List3]", "[list2]"
};

// A finding about a key of the list; one in a list that is not loaded says
// so first.
void report(CheckContext &c, const ListScope &scope, int line, const std::string &finding) {
  if (scope.unloaded.empty()) {
    c.out.error(line, finding);
  } else {
    c.out.error(line, scope.unloaded + " is not loaded, and also: " + finding);
  }
}

void checkHooks(CheckContext &c, const ListScope &scope) {
  std::vector<const IniKey *> hooks = numberedKeys(scope.section, "Hook", "");
  int end = 1;
  while (end <= 9 && hooks[end] && !hooks[end]->value.empty()) ++end;
  for (int n = 1; n <= 9; ++n) {
    if (!hooks[n] || hooks[n]->value.empty() || hooks[n]->value[0] == ';') continue;
    std::string problem = eventProblem(hooks[n]->value);
    if (n < end) {
      if (!problem.empty()) report(c, scope, hooks[n]->line, problem);
      continue;
    }
    std::string ignored =
        format("Hook%d of List%d is ignored: the Hook keys end at Hook%d, which %s", n,
               scope.number, end, hooks[end] ? "is empty" : "is missing");
    if (!problem.empty()) ignored += "; and also: " + problem;
    report(c, scope, hooks[n]->line, ignored);
  }
}

// `what` is the rule, "" when the scope names it already.
void checkAction(CheckContext &c, const ListScope &scope, const IniKey *action,
                 const std::string &what) {
  if (!action || action->value.empty() || isKnownActionName(action->value)) return;
  std::string finding = format("unknown action \"%s\"", action->value.c_str());
  if (!what.empty()) finding += " for " + what;
  if (scope.unloaded.empty()) finding += ": it does nothing and the click passes";
  report(c, scope, action->line, finding + actionHint(action->value));
}

void checkPolicy(CheckContext &c, const ListScope &scope, const IniKey *policy) {
  if (!policy) return;
  std::string problem = policyProblem(policy->value);
  if (!problem.empty()) report(c, scope, policy->line, problem);
}

// The keys of rule `rule` other than its N.Match; `what` names the rule in
// the findings.
void checkRuleKeys(CheckContext &c, const ListScope &scope, int rule, const std::string &what) {
  checkAction(c, scope, IniDocument::key(scope.section, format("%d.Action", rule)), what);
  checkPolicy(c, scope,
              IniDocument::key(scope.section, format("%d.Action.IfNextIsMinimized", rule)));
}

// A rule after the gap: not loaded, yet its names are checked, and a
// mistake in them is told at once.
void checkRuleBehindTheGap(CheckContext &c, const ListScope &scope, int rule,
                           const std::vector<const IniKey *> &matches) {
  int gap = scope.ruleCount + 1;
  std::string finding =
      format("rule %d of List%d is not loaded: rules end at the first gap, and %d.Match %s", rule,
             scope.number, gap, matches[gap] ? "is empty" : "is missing");
  std::string problem = matchProblem(c.doc, matches[rule]->value);
  if (!problem.empty()) finding += "; and also: it " + problem;
  report(c, scope, matches[rule]->line, finding);
  if (matches[rule]->value[0] == ';') return;  // commented out: nothing else of it would be read
  std::string what = format("rule %d of List%d", rule, scope.number);
  if (!scope.unloaded.empty()) {
    checkRuleKeys(c, scope, rule, what);
    return;
  }
  ListScope behind = scope;
  behind.unloaded = what;
  checkRuleKeys(c, behind, rule, "");
}

void checkRules(CheckContext &c, const ListScope &scope) {
  std::vector<const IniKey *> matches = numberedKeys(scope.section, "", ".Match");
  for (int n = 1; n <= 9; ++n) {
    // Missing, or out of step with the profile functions.
    if (!matches[n] || matches[n]->value.empty()) continue;
    if (n > scope.ruleCount) {
      checkRuleBehindTheGap(c, scope, n, matches);
      continue;
    }
    if (matches[n]->value[0] == ';') continue;  // commented out: nothing else of it is read
    std::string problem = matchProblem(c.doc, matches[n]->value);
    if (!problem.empty()) {
      report(c, scope, matches[n]->line, format("rule %d of List%d ", n, scope.number) + problem);
    }
    checkRuleKeys(c, scope, n, format("rule %d of List%d", n, scope.number));
  }
  checkAction(c, scope, IniDocument::key(scope.section, "Default.Action"),
              format("the default rule of List%d", scope.number));
  checkPolicy(c, scope, IniDocument::key(scope.section, "Default.Action.IfNextIsMinimized"));
}

// The rules the loader would read from `section`: up to the first N.Match
// that is missing or empty.
int ruleCountOf(const IniSection *section) {
  std::vector<const IniKey *> matches = numberedKeys(section, "", ".Match");
  int count = 0;
  while (count < 9 && matches[count + 1] && !matches[count + 1]->value.empty()) ++count;
  return count;
}

// A section that looks like a list but is not loaded: its keys are checked
// as if it were, each finding saying that it is not.
void checkUnloadedList(CheckContext &c, const IniSection &section, int number) {
  ListScope scope = {&section, number, ruleCountOf(&section), "[" + section.name + "]"};
  checkHooks(c, scope);
  checkRules(c, scope);
}

// Which loaded list each event's slot names, and which lists claim it.
void checkEventClaims(CheckContext &c, int loaded) {
  for (int slot = 0; slot < eventSlotCount(); ++slot) {
    std::vector<std::pair<int, int>> claims;  // list number, line
    for (int number = 1; number <= loaded; ++number) {
      const IniSection *section = c.doc.section(listSectionName(number));
      std::vector<const IniKey *> hooks = numberedKeys(section, "Hook", "");
      for (int n = 1; n <= 9 && hooks[n] && !hooks[n]->value.empty(); ++n) {
        if (hooks[n]->value == eventSlotName(slot)) claims.push_back({number, hooks[n]->line});
      }
    }
    std::set<int> lists;
    for (const auto &claim : claims) lists.insert(claim.first);
    if (lists.size() > 1) {
      c.out.warn(claims.back().second,
                 format("%s is claimed by %d lists; the last, List%d, takes it", eventSlotName(slot),
                        (int)lists.size(), claims.back().first));
    }
  }
}

int listHandlesAnEvent(ImageOffset list) {
  for (int slot = 0; slot < eventSlotCount(); ++slot) {
    if (eventSlotList(slot) == list) return 1;
  }
  return 0;
}

void checkLists(CheckContext &c) {
  std::vector<ImageOffset> lists = loadedLists();
  for (int number = 1; number <= (int)lists.size(); ++number) {
    ImageOffset list = lists[number - 1];
    const IniSection *section = c.doc.section(listSectionName(number));
    ListScope scope = {section, number, imageRecordField(list, LIST_COUNT), ""};
    checkHooks(c, scope);
    checkRules(c, scope);
    if (!listHandlesAnEvent(list)) {
      c.out.warn(section ? section->line : 0,
                 format("List%d handles no event: no Hook key names an event it keeps", number));
    }
  }
  checkEventClaims(c, (int)lists.size());
}

// ---- matches ------------------------------------------------------------------------

std::string patternKey(int pattern, const char *suffix) {
  return std::string(1, patternKeyChar(pattern)) + suffix;
}

// The first key of Pattern `p` in `section`, in the order the loader reads
// them; NULL when it has none.
const IniKey *firstKeyOfPattern(const IniSection *section, int p) {
  for (int which = 0; which < PATTERN_KEY_COUNT; ++which) {
    const IniKey *key = IniDocument::key(section, patternKey(p, patternKeySuffix(which)));
    if (key) return key;
  }
  return NULL;
}

// The highest Pattern number any key of `section` names, 0 for none.
int highestPatternKey(const IniSection *section, int *line) {
  int highest = 0;
  for (int p = 1; p <= MATCH_MAX_PATTERNS; ++p) {
    const IniKey *key = firstKeyOfPattern(section, p);
    if (key) {
      highest = p;
      *line = key->line;
    }
  }
  return highest;
}

void checkPatternCount(CheckContext &c, const IniSection *section, const std::string &name) {
  const IniKey *count = IniDocument::key(section, "nPattern");
  int keyLine = 0;
  int highest = highestPatternKey(section, &keyLine);
  int declared = count ? readProfileInt(section->name.c_str(), "nPattern", 0) : 0;
  if (!count) {
    if (highest) {
      c.out.error(section->line, format("[Match.%s] has no nPattern: its Patterns are not read "
                                        "and the match never holds", name.c_str()));
    }
    return;
  }
  if (declared < 0) {
    c.out.error(count->line, format("nPattern %d is negative: the match has no Patterns",
                                    declared));
  } else if (declared > MATCH_MAX_PATTERNS) {
    c.out.warn(count->line, format("nPattern %d is more than the %d Patterns a match can hold; "
                                   "%d are read", declared, MATCH_MAX_PATTERNS, MATCH_MAX_PATTERNS));
  }
  if (highest > declared && declared >= 0) {
    c.out.warn(keyLine, format("Pattern %c is beyond nPattern=%d and is not read",
                               patternKeyChar(highest), declared));
  }
}

int patternNamesAClass(ImageOffset match, int p) {
  for (uint32_t array : MATCH_CLASS_ARRAYS) {
    const char *text = imageString(imageRecordField(match, matchPatternField(array, p)));
    if (text && text[0]) return 1;
  }
  return 0;
}

// "3", "2 to 35" or "2, 5": the Pattern keys in `numbers`, runs folded.
std::string patternRuns(const std::vector<int> &numbers) {
  std::string text;
  for (size_t i = 0; i < numbers.size();) {
    size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    if (!text.empty()) text += ", ";
    text += patternKeyChar(numbers[i]);
    if (j > i) text += std::string(" to ") + patternKeyChar(numbers[j]);
    i = j + 1;
  }
  return text;
}

void checkClassNames(CheckContext &c, const IniSection *section, int p) {
  for (int which = 0; which < MATCH_CLASS_ARRAY_COUNT; ++which) {
    const IniKey *key = IniDocument::key(section, patternKey(p, patternKeySuffix(which)));
    std::string problem = key ? classNameProblem(key->value) : "";
    if (!problem.empty()) c.out.warn(key->line, problem);
  }
}

// Pattern p's key that names the keys, the program or the title.
const IniKey *extraKey(const IniSection *section, int p, int which) {
  return IniDocument::key(section, patternKey(p, patternKeySuffix(which)));
}

void checkProgramAndKeys(CheckContext &c, const IniSection *section, int p) {
  const IniKey *program = extraKey(section, p, PATTERN_KEY_PROGRAM);
  if (program && program->value.empty()) {
    c.out.warn(program->line, "an empty Process names no program: the Pattern holds for any");
  } else if (program && program->value.find_first_of("\\/:") != std::string::npos) {
    std::string name = program->value.substr(program->value.find_last_of("\\/:") + 1);
    c.out.error(program->line,
                format("Process \"%s\" names a folder, and the program's file name alone is "
                       "compared, so the Pattern never holds; write \"%s\"",
                       program->value.c_str(), name.c_str()));
  }
  const IniKey *keys = extraKey(section, p, PATTERN_KEY_KEYS);
  if (!keys || keys->value.empty()) return;
  std::string names = keys->value + "+";
  for (size_t start = 0, end; (end = names.find('+', start)) != std::string::npos;
       start = end + 1) {
    std::string name = names.substr(start, end - start);
    std::string copy = name + "";
    if ((keysFromNames(&copy[0]) & KEYS_UNKNOWN) == 0) continue;
    c.out.error(
        keys->line,
        format("unknown key name \"%s\" in Keys: the Pattern never holds (names are "
               "Shift, Ctrl, Alt and Win joined by +, or None)%s",
               name.c_str(), suggestion(name, {"Shift", "Ctrl", "Alt", "Win", "None"}).c_str()));
  }
}

// Keys of a [Match.<name>] section that the loader never reads: a Pattern
// key with a suffix it does not know.
void checkUnknownPatternKeys(CheckContext &c, const IniSection *section) {
  for (const IniKey &key : section->keys) {
    if (key.name.size() < 2 || key.name[1] != '.') continue;
    std::vector<std::string> known;
    for (int which = 0; which < PATTERN_KEY_COUNT; ++which) {
      known.push_back(std::string(1, key.name[0]) + patternKeySuffix(which));
    }
    bool isKnown = false;
    for (const std::string &name : known) isKnown = isKnown || sameNameIgnoringCase(name, key.name);
    if (isKnown) continue;
    c.out.warn(key.line, format("unknown key \"%s\" is ignored%s", key.name.c_str(),
                                suggestion(key.name, known).c_str()));
  }
}

void checkPatterns(CheckContext &c, ImageOffset match, const IniSection *section) {
  int count = imageRecordField(match, MATCH_PATTERN_COUNT);
  std::vector<int> empty;
  for (int p = 1; p <= count && p <= MATCH_MAX_PATTERNS; ++p) {
    checkClassNames(c, section, p);
    checkProgramAndKeys(c, section, p);
    const IniKey *hitTest =
        IniDocument::key(section, patternKey(p, patternKeySuffix(PATTERN_KEY_HIT_TEST)));
    int namesAClass = patternNamesAClass(match, p) || extraKey(section, p, PATTERN_KEY_KEYS) ||
                      extraKey(section, p, PATTERN_KEY_PROGRAM) ||
                      extraKey(section, p, PATTERN_KEY_TITLE);
    if (hitTest && !hitTest->value.empty() && hitTestCodeFromName(hitTest->value.c_str()) < 0) {
      c.out.error(hitTest->line,
                  format("unknown hit-test name \"%s\": %s%s", hitTest->value.c_str(),
                         namesAClass ? "the Pattern holds at any area"
                                     : "the Pattern names nothing else and never holds",
                         hitTestHint(hitTest->value).c_str()));
    } else if (!namesAClass && imageRecordField(match, matchPatternField(MATCH_HIT_TEST, p)) < 0) {
      empty.push_back(p);
    }
  }
  if (!empty.empty()) {
    c.out.warn(lineOf(IniDocument::key(section, "nPattern")),
               format("Pattern%s %s of [%s] name%s nothing and never hold%s",
                      empty.size() == 1 ? "" : "s", patternRuns(empty).c_str(),
                      section->name.c_str(), empty.size() == 1 ? "s" : "",
                      empty.size() == 1 ? "s" : ""));
  }
}

void checkMatches(CheckContext &c) {
  for (ImageOffset match : loadedMatches()) {
    const char *name = imageString(imageRecordField(match, MATCH_NAME));
    if (!name || !name[0]) continue;
    const IniSection *section = c.doc.section(std::string("Match.") + name);
    if (!section) continue;  // reported where the name is used
    checkPatternCount(c, section, name);
    checkPatterns(c, match, section);
    checkUnknownPatternKeys(c, section);
  }
}

// ---- options and the rest -------------------------------------------------------------

void checkOptions(CheckContext &c) {
  const IniSection *options = c.doc.section(VORN_OPTIONS_SECTION);
  if (options) {
    for (const IniKey &key : options->keys) {
      if (!isKnownOptionName(key.name)) {
        c.out.warn(key.line, format("unknown option \"%s\" is ignored%s", key.name.c_str(),
                                    suggestion(key.name, knownOptionNames()).c_str()));
      }
    }
  }
  const IniKey *mask = c.doc.key("MaskXMOUSE", "Match");
  if (mask && !mask->value.empty() && mask->value[0] != ';' && !maskXmouseOnMove) {
    c.out.warn(mask->line,
               "[MaskXMOUSE] Match is not used: masking needs MaskXMOUSEOnMOUSEMOVE=1 together "
               "with UseXMOUSE=1 or ThroughSimulateWM_MOUSEACTIVATE=1");
  }
  const IniKey *maskOption =
      c.doc.key(VORN_OPTIONS_SECTION, optionName(OPTION_MASK_XMOUSE_ON_MOVE));
  if (maskOption && !xmouseMode && readOption(OPTION_MASK_XMOUSE_ON_MOVE) != 0) {
    c.out.warn(maskOption->line, "MaskXMOUSEOnMOUSEMOVE has no effect without UseXMOUSE=1 or "
                                 "ThroughSimulateWM_MOUSEACTIVATE=1");
  }
  if (maskXmouseOnMove && imageField(HEADER_MASKXMOUSE_MATCH) == NO_OFFSET) {
    c.out.warn(lineOf(maskOption), "MaskXMOUSEOnMOUSEMOVE is on but [MaskXMOUSE] names no "
                                   "match: no window is masked");
  }
}

void checkStatus(CheckContext &c) {
  const IniKey *status = c.doc.key("Status", "Error");
  if (status) {
    c.out.warn(status->line,
               format("stale [Status] Error=%s: vorn wrote it when it could not create its shared "
                      "memory; it is never read and can be removed",
                      status->value.c_str()));
  }
}

void checkLongValues(CheckContext &c) {
  for (const IniSection &section : c.doc.sections()) {
    for (const IniKey &key : section.keys) {
      if (key.rawLength > PROFILE_VALUE_BUFFER - 1) {
        c.out.warn(key.line, format("the value of %s is %u characters long; only the first %d "
                                    "are read",
                                    key.name.c_str(), (unsigned)key.rawLength,
                                    PROFILE_VALUE_BUFFER - 1));
      }
    }
  }
}

// A line that names a key without '=' leaves the key without a value: a
// later line that gives it one is never read.
void checkKeysWithoutValue(CheckContext &c) {
  for (const IniSection &section : c.doc.sections()) {
    for (const IniKey &key : section.keys) {
      if (key.hasValue || IniDocument::firstLineNaming(&section, key.name) != &key) continue;
      for (const IniKey &later : section.keys) {
        if (later.line <= key.line || !later.hasValue) continue;
        if (!sameNameIgnoringCase(later.name, key.name)) continue;
        c.out.warn(key.line, format("\"%s\" has no '=': the key has no value, and line %d, "
                                    "which gives it one, is never read",
                                    key.name.c_str(), later.line));
        break;
      }
    }
  }
}

}  // namespace

void checkConfiguration(const IniDocument &doc, Diagnostics &out) {
  CheckContext c{doc, out};
  checkUtf8Mark(c);
  checkSectionNameBuffer(c);
  checkDuplicateSections(c);
  checkListSections(c);
  checkLists(c);
  checkMatches(c);
  checkOptions(c);
  checkStatus(c);
  checkLongValues(c);
  checkKeysWithoutValue(c);
}
