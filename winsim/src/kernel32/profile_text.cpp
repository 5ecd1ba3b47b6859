#include "profile_text.h"

#include <string.h>
#include <strings.h>

namespace winsim {
namespace {

// Ctrl-Z, the old end-of-file mark, counts as a blank too.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

size_t findLineBreak(const std::string &text, size_t from) {
  const char *start = text.data() + from;
  const char *stop = text.data() + text.size();
  for (const char *p = start; p < stop; ++p) {
    if (*p == '\n' || *p == '\r') return (size_t)(p - text.data());
  }
  return text.size();
}

size_t afterLineBreak(const std::string &text, size_t breakBegin) {
  if (breakBegin >= text.size()) return text.size();
  if (text[breakBegin] == '\r' && breakBegin + 1 < text.size() && text[breakBegin + 1] == '\n') {
    return breakBegin + 2;
  }
  return breakBegin + 1;
}

TextRange lineText(const std::string &text, const ProfileLine &line) {
  return trimmed(text.data() + line.begin, line.textEnd - line.begin);
}

// The lines before the first header form a nameless section that always
// exists, even in an empty file; it is what the name "" finds, so a
// "[]" header further down can never be reached.
ProfileLine nameless() { return ProfileLine{0, 0, 0, 0}; }

}  // namespace

bool nextProfileLine(const std::string &text, size_t *position, ProfileLine *line) {
  size_t begin = *position;
  if (begin >= text.size()) return false;
  line->begin = begin;
  line->breakBegin = findLineBreak(text, begin);
  const void *nul = memchr(text.data() + begin, '\0', line->breakBegin - begin);
  line->textEnd = nul ? (size_t)((const char *)nul - text.data()) : line->breakBegin;
  line->end = afterLineBreak(text, line->breakBegin);
  *position = line->end;
  return true;
}

TextRange trimmed(const char *begin, size_t length) {
  while (length > 0 && isBlank(*begin)) {
    ++begin;
    --length;
  }
  while (length > 0 && isBlank(begin[length - 1])) --length;
  return TextRange{begin, length};
}

TextRange trimmedString(const char *text) { return trimmed(text, strlen(text)); }

bool sameName(TextRange a, TextRange b) {
  return a.length == b.length && strncasecmp(a.begin, b.begin, a.length) == 0;
}

bool isBlankLine(const std::string &text, const ProfileLine &line) {
  return lineText(text, line).length == 0;
}

bool sectionHeaderName(const std::string &text, const ProfileLine &line, TextRange *name) {
  TextRange content = lineText(text, line);
  if (content.length == 0 || content.begin[0] != '[') return false;
  const char *close = NULL;
  for (size_t i = content.length; i > 1; --i) {
    if (content.begin[i - 1] == ']') {
      close = content.begin + i - 1;
      break;
    }
  }
  if (!close) return false;  // "[name" without ']' is an ordinary line
  *name = trimmed(content.begin + 1, (size_t)(close - content.begin - 1));
  return true;
}

bool keyAndValue(const std::string &text, const ProfileLine &line, TextRange *key,
                 TextRange *value) {
  TextRange content = lineText(text, line);
  const char *equals = (const char *)memchr(content.begin, '=', content.length);
  if (!equals) return false;
  *key = trimmed(content.begin, (size_t)(equals - content.begin));
  *value = trimmed(equals + 1, content.length - (size_t)(equals + 1 - content.begin));
  return true;
}

TextRange entryName(const std::string &text, const ProfileLine &line) {
  TextRange content = lineText(text, line);
  const char *equals = (const char *)memchr(content.begin, '=', content.length);
  if (!equals) return content;
  return trimmed(content.begin, (size_t)(equals - content.begin));
}

bool findSection(const std::string &text, TextRange name, ProfileLine *header) {
  if (name.length == 0) {
    *header = nameless();
    return true;
  }
  size_t position = 0;
  ProfileLine line;
  TextRange found;
  while (nextProfileLine(text, &position, &line)) {
    if (sectionHeaderName(text, line, &found) && sameName(found, name)) {
      *header = line;
      return true;
    }
  }
  return false;
}

bool nextSectionLine(const std::string &text, size_t *position, ProfileLine *line) {
  size_t next = *position;
  TextRange name;
  if (!nextProfileLine(text, &next, line) || sectionHeaderName(text, *line, &name)) return false;
  *position = next;
  return true;
}

// A line that names the key without '=' is the key, without a value: the
// lookup ends there, and a later line with a value is never reached.
bool findKey(const std::string &text, const ProfileLine &header, TextRange key, TextRange *value) {
  size_t position = header.end;
  ProfileLine line;
  TextRange found;
  while (nextSectionLine(text, &position, &line)) {
    if (isBlankLine(text, line) || !sameName(entryName(text, line), key)) continue;
    return keyAndValue(text, line, &found, value);
  }
  return false;
}

}  // namespace winsim
