// Reading the text of an INI file line by line, the way the profile
// functions understand it: lines end at "\r\n", "\n" or a lone "\r"; a
// NUL byte ends a line's text early; a UTF-8 byte order mark at the start
// is part of the first line (the system recognises no UTF-8 mark, so a
// "[section]" on line 1 of such a file is no header; Wine differs and
// strips it); names and values are trimmed of blanks
// (space, tab, vertical tab, form feed, Ctrl-Z); a section header is
// "[name]" with the name up to the last ']'.
#pragma once

#include <stddef.h>

#include <string>

namespace winsim {

struct TextRange {
  const char *begin;
  size_t length;
};

struct ProfileLine {
  size_t begin;       // first byte of the line
  size_t textEnd;     // end of the line's text: its first NUL, or its break
  size_t breakBegin;  // where its line break starts (the end of the file if none)
  size_t end;         // first byte of the next line
};

// The line at *position, which then moves to the next one. False at the end.
bool nextProfileLine(const std::string &text, size_t *position, ProfileLine *line);

// The section name when the line is a header.
bool sectionHeaderName(const std::string &text, const ProfileLine &line, TextRange *name);

// The key and value when the line holds a '='.
bool keyAndValue(const std::string &text, const ProfileLine &line, TextRange *key,
                 TextRange *value);

// The name a write can address: the text before '=', or the whole line.
TextRange entryName(const std::string &text, const ProfileLine &line);

bool isBlankLine(const std::string &text, const ProfileLine &line);

TextRange trimmed(const char *begin, size_t length);
TextRange trimmedString(const char *text);

// ASCII case-insensitive equality, as the profile functions compare names.
bool sameName(TextRange a, TextRange b);

// Finds the first section called `name`; `header` is its header line. The
// name "" finds the lines before the first header, and `header` is then an
// empty line at the start of the file (begin == end).
bool findSection(const std::string &text, TextRange name, ProfileLine *header);

// The lines of the section whose header ends at `position`: calls to
// nextSectionLine return them until the next header or the end of the file.
bool nextSectionLine(const std::string &text, size_t *position, ProfileLine *line);

// The value of `key` in the section whose header is `header`: the first
// line that names the key decides, and when it has no '=' the key has no
// value (false).
bool findKey(const std::string &text, const ProfileLine &header, TextRange key, TextRange *value);

}  // namespace winsim
