#include "match_snippet.h"

#include <string.h>

#include "config/name_tables.h"
#include "console_text.h"

namespace {

bool isNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

// The blanks the profile functions trim from both ends of a value.
bool isTrimmed(char c) { return c != '\0' && strchr(" \t\v\f\x1a", c) != NULL; }

// A class the system could not tell is no condition.
void printLine(FILE *out, const char *key, const std::string &value) {
  if (!value.empty()) consolePrintf(out, "1.%s=%s\n", key, profileValue(value).c_str());
}

}  // namespace

std::string matchNameFor(const std::string &className) {
  std::string name;
  for (char c : className) {
    if (isNameCharacter(c)) name += c;
  }
  return name.empty() ? "Window" : name;
}

std::string profileValue(const std::string &value) {
  if (value.empty()) return value;
  char first = value[0];
  char last = value[value.size() - 1];
  bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
  if (isTrimmed(first) || isTrimmed(last) || quoted) return "\"" + value + "\"";
  return value;
}

void printMatchSnippet(const SnippetClick &click, FILE *out) {
  consolePrintf(out, "[Match.%s]\n", matchNameFor(click.activeClass).c_str());
  consolePrintf(out, "nPattern=1\n");
  if (click.invokedClass != click.activeClass) printLine(out, "Invoked.Class", click.invokedClass);
  printLine(out, "Active.Class", click.activeClass);
  if (click.parentClass != click.activeClass) printLine(out, "Parent.Class", click.parentClass);
  const char *area = hitTestName(click.hitTest);
  if (area) consolePrintf(out, "1.NCHitTest=%s\n", area);
  printLine(out, "Process", click.program);
  if (!click.title.empty()) consolePrintf(out, ";1.Title=%s\n", profileValue(click.title).c_str());
}
