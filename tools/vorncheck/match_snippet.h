// A [Match.<name>] section for one click, to paste into vorn.ini.
#pragma once

#include <stdio.h>

#include <string>

// The Pattern's classes: the window under the pointer, the click target
// and the root parent, and the hit-test code (negative: any area).
struct SnippetClick {
  std::string invokedClass;
  std::string activeClass;
  std::string parentClass;
  int hitTest;
  std::string program;  // the program file name ("": unknown)
  std::string title;    // the root parent's title
};

// A match name made of the letters, digits, '_' and '-' of `className`
// ("Window" when none is left), so that it can stand in a section name and
// an N.Match value as it is.
std::string matchNameFor(const std::string &className);

// A value as the profile functions give it back: quoted when blanks at its
// ends or a pair of quotes around it would otherwise be trimmed away.
std::string profileValue(const std::string &value);

// Prints the section: the click target's class, the other two classes
// where they differ from it, the area and the program, and the title
// commented out (titles change with the document shown).
void printMatchSnippet(const SnippetClick &click, FILE *out);
