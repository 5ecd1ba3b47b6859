#include "name_findings.h"

#include <vector>

#include "config/list_compiler.h"
#include "diagnostics.h"
#include "known_names.h"

namespace {

// Mouse messages the hooks see but keep no list for: they pass on to the
// window (and only spoil the gestures). Written as users write them; the
// extra buttons' events are numbered (XBUTTON1DOWN), these are not.
const char *const EVENTS_WITHOUT_A_LIST[] = {
    "MOUSEMOVE",      "NCMOUSEMOVE",    "XBUTTONDOWN",   "NCXBUTTONDOWN",
    "XBUTTONUP",      "NCXBUTTONUP",    "XBUTTONDBLCLK", "NCXBUTTONDBLCLK",
    "XBUTTON1DBLCLK", "XBUTTON2DBLCLK", "MOUSEWHEEL",    "MOUSEHWHEEL",
};

const char *const SUFFIXES[] = {".Foreground", ".NotForeground"};

std::string listed(const std::vector<std::string> &names, const char *lastJoint) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? lastJoint : ", ";
    text += names[i];
  }
  return text;
}

std::vector<std::string> eventsWithoutAList() {
  return std::vector<std::string>(std::begin(EVENTS_WITHOUT_A_LIST),
                                  std::end(EVENTS_WITHOUT_A_LIST));
}

// The name of `names` nearest to `written`, ignoring letter case.
const std::string *nearest(const std::string &written, const std::vector<std::string> &names,
                           size_t *distance) {
  const std::string *best = NULL;
  for (const std::string &name : names) {
    size_t d = nameDistance(written, name);
    if (!best || d < *distance) {
      best = &name;
      *distance = d;
    }
  }
  return best;
}

std::string noListFor(const std::string &value) {
  return format("vorn has no event \"%s\": it handles only %s", value.c_str(),
                listed(knownEventNames(), " and ").c_str());
}

bool startsWithMessagePrefix(const std::string &value) {
  return value.size() > 3 && sameNameIgnoringCase(value.substr(0, 3), "WM_");
}

}  // namespace

std::string eventProblem(const std::string &value) {
  if (isKnownEventName(value)) return "";
  std::string bare = startsWithMessagePrefix(value) ? value.substr(3) : value;
  if (bare != value && isKnownEventName(bare)) {
    return format("unknown event \"%s\" (did you mean \"%s\"? events are named without WM_)",
                  value.c_str(), bare.c_str());
  }
  for (const std::string &known : knownEventNames()) {
    if (sameNameIgnoringCase(known, bare)) {
      return format("unknown event \"%s\" (did you mean \"%s\"? names are case-sensitive)",
                    value.c_str(), known.c_str());
    }
  }
  size_t toKnown = 0, toListless = 0;
  const std::string *known = nearest(bare, knownEventNames(), &toKnown);
  nearest(bare, eventsWithoutAList(), &toListless);
  if (toListless == 0 || (toListless < toKnown && toListless <= slipAllowance(bare))) {
    return noListFor(value);
  }
  if (toKnown <= slipAllowance(bare)) {
    return format("unknown event \"%s\" (did you mean \"%s\"?)", value.c_str(), known->c_str());
  }
  return format("unknown event \"%s\": the events are %s", value.c_str(),
                listed(knownEventNames(), " and ").c_str());
}

std::string actionHint(const std::string &value) {
  if (isKnownActionName(value)) return "";
  if (!value.empty() && value[0] == ';') {
    return " (a ';' does not comment an action out: the rule's action is this name, which names no "
           "action)";
  }
  std::string hint = suggestion(value, knownActionNames());
  if (!hint.empty()) return hint;
  return " (the actions are " + listed(knownActionNames(), " and ") + ")";
}

std::string policyProblem(const std::string &value) {
  if (value.empty() || value == "Skip" || value == "Restore") return "";
  return format("unknown policy \"%s\": only \"Skip\" and \"Restore\" are known%s", value.c_str(),
                suggestion(value, {"Skip", "Restore"}).c_str());
}

std::string hitTestHint(const std::string &value) {
  std::string hint = suggestion(value, knownHitTestNames());
  if (!hint.empty()) return hint;
  return " (the areas are " + listed(knownHitTestNames(), " and ") + ")";
}

std::string matchNameOf(const std::string &value) {
  std::vector<char> name(value.begin(), value.end());
  name.push_back('\0');
  takeForegroundCondition(name.data());
  return name.data();
}

std::string matchProblem(const IniDocument &doc, const std::string &value) {
  if (value.empty() || value[0] == ';') return "";
  std::string name = matchNameOf(value);
  if (name.empty() || doc.section("Match." + name)) return "";
  for (const char *suffix : SUFFIXES) {
    std::string wanted = suffix;
    if (name != value || value.size() <= wanted.size()) continue;
    std::string written = value.substr(value.size() - wanted.size());
    if (!sameNameIgnoringCase(written, wanted)) continue;
    return format(
        "writes \"%s\" where the suffix is \"%s\" (letter case counts): the whole value "
        "is taken as the match name \"%s\", which has no [Match.%s] section, so the rule "
        "never holds",
        written.c_str(), suffix, name.c_str(), name.c_str());
  }
  return format("names the match \"%s\", which has no [Match.%s] section: the rule never holds",
                name.c_str(), name.c_str());
}

std::string classNameProblem(const std::string &value) {
  for (char c : value) {
    if ((unsigned char)c < 0x80) continue;
    return format(
        "class name \"%s\" holds characters outside ASCII: it is compared byte for "
        "byte with the class name in the system's ANSI code page, so it matches only "
        "if the file holds it in that code page (UTF-8 holds other bytes)",
        value.c_str());
  }
  if (value.find_first_of("*?") == std::string::npos) return "";
  return format(
      "class name \"%s\" is compared whole and exactly: * and ? are no wildcards, so it "
      "matches only a class of that very name",
      value.c_str());
}
