#include "soak_rules.h"

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "mouse_input.h"

namespace e2e {

namespace {

// The matches every configuration shares, by the three windows a Pattern
// can test: the window under the pointer, the click target, the root.
#define SOAK_MATCHES                  \
  "[Match.Guarded]\n"                 \
  "nPattern=1\n"                      \
  "1.Invoked.Class=vornSoakGuarded\n" \
  "[Match.OpenClient]\n"              \
  "nPattern=1\n"                      \
  "1.Active.Class=vornSoakOpen\n"     \
  "1.NCHitTest=CLIENT\n"              \
  "[Match.Plain]\n"                   \
  "nPattern=1\n"                      \
  "1.Parent.Class=vornSoakPlain\n"    \
  "[Match.Caption]\n"                 \
  "nPattern=1\n"                      \
  "1.NCHitTest=CAPTION\n"

// The soak reloads by second starts, at moments of its choosing: the
// daemon does not watch these files (ReloadOnChange=0).
#define SOAK_OPTIONS "[Options]\nReloadOnChange=0\n"

const char GUARDED_WINDOWS_TEXT[] =
    SOAK_OPTIONS
    "[List1]\n"
    "Hook1=LBUTTONDOWN\n"
    "Hook2=NCLBUTTONDOWN\n"
    "1.Match=Guarded\n"
    "1.Action=NoAction\n"
    "2.Match=OpenClient\n"
    "2.Action=ActivateAndDefault\n"
    "[List2]\n"
    "Hook1=LBUTTONUP\n"
    "1.Match=Guarded\n"
    "1.Action=NoAction\n"
    "[List3]\n"
    "Hook1=MBUTTONUP\n"
    "Hook2=NCMBUTTONUP\n"
    "1.Match=Plain\n"
    "1.Action=Through\n"
    "2.Match=Caption\n"
    "2.Action=NoAction\n"
    "[List4]\n"
    "Hook1=RBUTTONDOWN\n"
    "Hook2=NCRBUTTONDOWN\n"
    "1.Match=Caption\n"
    "1.Action=NoAction\n"
    "2.Match=OpenClient\n"
    "2.Action=NoAction\n"
    "Default.Action=ThroughWithNoActivate\n" SOAK_MATCHES;

const char PLAIN_WINDOWS_TEXT[] =
    SOAK_OPTIONS
    "[List1]\n"
    "Hook1=LBUTTONDOWN\n"
    "Hook2=NCLBUTTONDOWN\n"
    "Hook3=LBUTTONUP\n"
    "1.Match=Plain\n"
    "1.Action=NoAction\n"
    "[List2]\n"
    "Hook1=MBUTTONUP\n"
    "Hook2=NCMBUTTONUP\n"
    "1.Match=Guarded\n"
    "1.Action=Through\n"
    "2.Match=Caption\n"
    "2.Action=NoAction\n"
    "3.Match=OpenClient\n"
    "3.Action=NoAction\n"
    "[List3]\n"
    "Hook1=RBUTTONDOWN\n"
    "Hook2=NCRBUTTONDOWN\n"
    "1.Match=Caption\n"
    "1.Action=NoAction\n"
    "2.Match=Guarded\n"
    "2.Action=NoAction\n" SOAK_MATCHES;

// The fates, by button (left, middle, right).
const char NONE[] = "none";
const char LEFT_CLIENT[] = "WM_LBUTTONDOWN, WM_LBUTTONUP";
const char LEFT_CLIENT_RELEASE[] = "WM_LBUTTONUP";
// A left press on a caption starts the system's move loop, which takes the
// release out of the queue itself: the window never receives it.
const char LEFT_CAPTION[] = "WM_NCLBUTTONDOWN";
// With the press swallowed there is no move loop, and the release arrives
// as a non-client one.
const char LEFT_CAPTION_RELEASE[] = "WM_NCLBUTTONUP";
const char MIDDLE_CLIENT[] = "WM_MBUTTONDOWN, WM_MBUTTONUP";
const char MIDDLE_CAPTION[] = "WM_NCMBUTTONDOWN, WM_NCMBUTTONUP";
// A swallowed right press takes its release with it (no window or context
// menu opens after the action): NONE.
const char RIGHT_CLIENT[] = "WM_RBUTTONDOWN, WM_RBUTTONUP";
const char RIGHT_CAPTION[] = "WM_NCRBUTTONDOWN, WM_NCRBUTTONUP";

// Pseudo-random bytes, the same on every run.
std::string garbage(size_t length, uint32_t seed) {
  std::string bytes(length, '\0');
  for (char &byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = (char)(seed >> 24);
  }
  return bytes;
}

std::string binaryGarbage() { return garbage(64 * 1024, 20240601u); }

// The Plain rules, then a megabyte of keys nobody reads.
std::string oneMegabyte() {
  std::string text = std::string(PLAIN_WINDOWS_TEXT) + "[Filler]\n";
  char line[64];
  for (int key = 0; text.size() < 1024 * 1024; ++key) {
    snprintf(line, sizeof line, "key%07d=some value that no one reads\n", key);
    text += line;
  }
  return text;
}

// The Plain rules, then ten thousand more sections: their names overflow
// what the daemon reads of the section names long before the last.
std::string tenThousandSections() {
  std::string text = PLAIN_WINDOWS_TEXT;
  char section[64];
  for (int number = 0; number < 10000; ++number) {
    snprintf(section, sizeof section, "[Section%05d]\nkey=%d\n", number, number);
    text += section;
  }
  return text;
}

// The Guarded rules broken by NUL bytes in every section name, then 16 KB
// of NUL: the profile functions read a name only up to its NUL, so no
// section is called List1 and there are no rules.
std::string nulBytes() {
  std::string text;
  for (const char *at = GUARDED_WINDOWS_TEXT; *at; ++at) {
    text += *at;
    if (*at == '[') text += std::string("Li\0", 3);
  }
  return text + std::string(16 * 1024, '\0');
}

// The Plain rules among lines of hundreds of kilobytes: a comment, a key,
// a section name and an event name, far beyond the 255 characters a value
// is read with. The cut-short event name is no event, so the list that
// names it is never evaluated, and the rules stay the Plain ones. The long
// section name comes last: the names before it are all read.
std::string veryLongLines() {
  std::string longText(200 * 1024, 'x');
  std::string text = ";" + longText + "\n";
  text += "[Options]\n" + longText + "=1\n";
  text += PLAIN_WINDOWS_TEXT;
  text += "[List4]\nHook1=LBUTTONDOWN" + longText + "\n1.Match=Guarded\n1.Action=NoAction\n";
  text += "[" + longText + "]\nkey=" + longText + "\n";
  return text;
}

// Nine lists of nine rules, each rule with a match of its own of 35
// Patterns: an image of about 100 KB from a file a fraction of that. The
// section that the hooked processes hold since the first daemon of the
// session is far smaller, and a reload cannot make it larger: the load
// fails, says so in the file, and leaves no rules. Were it published,
// every click would be swallowed.
std::string tooLargeForTheHeldSection() {
  static const char *const CLASSES[] = {"vornSoakPlain", "vornSoakGuarded", "vornSoakOpen"};
  static const char PATTERN_KEYS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string text;
  char line[96];
  for (int list = 1; list <= 9; ++list) {
    snprintf(line, sizeof line, "[List%d]\nHook1=%s\n", list,
             list % 2 ? "LBUTTONDOWN" : "MBUTTONUP");
    text += line;
    for (int rule = 1; rule <= 9; ++rule) {
      snprintf(line, sizeof line, "%d.Match=Everything%d%d\n%d.Action=NoAction\n", rule, list, rule,
               rule);
      text += line;
    }
  }
  for (int match = 0; match < 81; ++match) {
    snprintf(line, sizeof line, "[Match.Everything%d%d]\nnPattern=35\n", match / 9 + 1,
             match % 9 + 1);
    text += line;
    for (int p = 1; p <= 35; ++p) {
      snprintf(line, sizeof line, "%c.Invoked.Class=%s\n", PATTERN_KEYS[p], CLASSES[p % 3]);
      text += line;
    }
  }
  return text;
}

}  // namespace

const char *const MAPPING_FAILED = "fail to FileMapping";

const SoakRules GUARDED_WINDOWS_RULES = {
    "Guarded windows rules",
    GUARDED_WINDOWS_TEXT,
    {
        // Plain
        {{LEFT_CLIENT, MIDDLE_CLIENT, RIGHT_CLIENT}, {LEFT_CAPTION, MIDDLE_CAPTION, NONE}},
        // Guarded
        {{NONE, MIDDLE_CLIENT, RIGHT_CLIENT}, {LEFT_CAPTION_RELEASE, NONE, NONE}},
        // Open
        {{LEFT_CLIENT, MIDDLE_CLIENT, NONE}, {LEFT_CAPTION, NONE, NONE}},
    },
};

const SoakRules PLAIN_WINDOWS_RULES = {
    "Plain windows rules",
    PLAIN_WINDOWS_TEXT,
    {
        // Plain
        {{NONE, MIDDLE_CLIENT, RIGHT_CLIENT}, {LEFT_CAPTION_RELEASE, NONE, NONE}},
        // Guarded
        {{LEFT_CLIENT, MIDDLE_CLIENT, NONE}, {LEFT_CAPTION, MIDDLE_CAPTION, NONE}},
        // Open
        {{LEFT_CLIENT, NONE, RIGHT_CLIENT}, {LEFT_CAPTION, NONE, NONE}},
    },
};

const SoakRules NO_RULES = {
    "no rules",
    NULL,
    {
        {{LEFT_CLIENT, MIDDLE_CLIENT, RIGHT_CLIENT}, {LEFT_CAPTION, MIDDLE_CAPTION, RIGHT_CAPTION}},
        {{LEFT_CLIENT, MIDDLE_CLIENT, RIGHT_CLIENT}, {LEFT_CAPTION, MIDDLE_CAPTION, RIGHT_CAPTION}},
        {{LEFT_CLIENT, MIDDLE_CLIENT, RIGHT_CLIENT}, {LEFT_CAPTION, MIDDLE_CAPTION, RIGHT_CAPTION}},
    },
};

const char *const FOREGROUND_DECIDES_RULES =
    "[List1]\n"
    "Hook1=LBUTTONDOWN\n"
    "1.Match=Client.NotForeground\n"
    "1.Action=ActivateAndDefault\n"
    "2.Match=Client.Foreground\n"
    "2.Action=NoAction\n"
    "[Match.Client]\n"
    "nPattern=1\n"
    "1.NCHitTest=CLIENT\n";

const char *expectedFate(const SoakRules &rules, SoakWindowClass windowClass, SoakArea area,
                         MouseButton button) {
  return rules.fates[windowClass][area][button];
}

std::vector<BadConfiguration> badConfigurations() {
  return {
      {"binary garbage", binaryGarbage(), &NO_RULES, ""},
      {"a file of one megabyte", oneMegabyte(), &PLAIN_WINDOWS_RULES, ""},
      {"ten thousand sections", tenThousandSections(), &PLAIN_WINDOWS_RULES, ""},
      {"NUL bytes", nulBytes(), &NO_RULES, ""},
      {"very long lines", veryLongLines(), &PLAIN_WINDOWS_RULES, ""},
      {"an image too large for the held section", tooLargeForTheHeldSection(), &NO_RULES,
       MAPPING_FAILED},
  };
}

}  // namespace e2e
