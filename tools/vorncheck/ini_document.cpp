#include "ini_document.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// The blanks the profile functions trim: Ctrl-Z among them.
const char PROFILE_BLANKS[] = " \t\v\f\x1a";

std::string trimmed(const std::string &text) {
  size_t first = text.find_first_not_of(PROFILE_BLANKS);
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(PROFILE_BLANKS);
  return text.substr(first, last - first + 1);
}

std::string withoutQuotes(const std::string &value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
      value[value.size() - 1] == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A NUL ends what the profile functions read of a line.
std::string untilNul(const std::string &line) {
  size_t nul = line.find('\0');
  return nul == std::string::npos ? line : line.substr(0, nul);
}

const char UTF16_MARK[] = "\xFF\xFE";
const char UTF8_MARK[] = "\xEF\xBB\xBF";

bool startsWith(const std::string &bytes, const char *mark) {
  return bytes.compare(0, strlen(mark), mark) == 0;
}

// The text of a UTF-16LE file after its mark, as the A functions see it:
// in the ANSI code page.
std::string ansiFromUtf16(const std::string &bytes) {
  std::vector<WCHAR> wide;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    wide.push_back((WCHAR)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8));
  }
  if (wide.empty()) return std::string();
  int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), NULL, 0, NULL, NULL);
  if (size <= 0) return std::string();
  std::string text((size_t)size, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), &text[0], size, NULL, NULL);
  return text;
}

}  // namespace

bool sameNameIgnoringCase(const std::string &a, const std::string &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = (unsigned char)a[i];
    unsigned char y = (unsigned char)b[i];
    if (x >= 'a' && x <= 'z') x = (unsigned char)(x - 32);
    if (y >= 'a' && y <= 'z') y = (unsigned char)(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool IniDocument::load(const char *path) {
  FILE *file = fopen(path, "rb");
  if (!file) return false;
  std::string text;
  char buffer[65536];
  size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
  fclose(file);
  unicode_ = startsWith(text, UTF16_MARK);
  utf8Marked_ = !unicode_ && startsWith(text, UTF8_MARK);
  if (unicode_) text = ansiFromUtf16(text);
  if (utf8Marked_) {
    std::string rest = text.substr(strlen(UTF8_MARK));
    firstLineAfterMark_ = trimmed(untilNul(rest.substr(0, rest.find_first_of("\r\n"))));
  }
  scan(text);
  return true;
}

void IniDocument::scan(const std::string &text) {
  sections_.clear();
  int lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = untilNul(text.substr(start, end - start));
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line[line.size() - 1] == '\r') line.erase(line.size() - 1);
    std::string content = trimmed(line);
    // The profile functions would take "; x=1" as a key named "; x", but no
    // name vorn reads starts so: for the checks it is the comment it looks like.
    if (content.empty() || content[0] == ';' || content[0] == '#') continue;
    if (content[0] == '[') {
      size_t close = content.find(']');
      IniSection section;
      section.name = trimmed(content.substr(1, close == std::string::npos ? std::string::npos
                                                                          : close - 1));
      section.line = lineNumber;
      sections_.push_back(section);
      continue;
    }
    if (sections_.empty()) continue;
    size_t equals = content.find('=');
    IniKey key;
    key.line = lineNumber;
    if (equals == std::string::npos) {
      key.name = content;
      key.hasValue = false;
      sections_.back().keys.push_back(key);
      continue;
    }
    key.name = trimmed(content.substr(0, equals));
    key.value = withoutQuotes(trimmed(content.substr(equals + 1)));
    key.rawLength = key.value.size();
    sections_.back().keys.push_back(key);
  }
}

const IniSection *IniDocument::section(const std::string &name) const {
  for (const IniSection &candidate : sections_) {
    if (sameNameIgnoringCase(candidate.name, name)) return &candidate;
  }
  return NULL;
}

const IniKey *IniDocument::firstLineNaming(const IniSection *section, const std::string &name) {
  if (!section) return NULL;
  for (const IniKey &candidate : section->keys) {
    if (sameNameIgnoringCase(candidate.name, name)) return &candidate;
  }
  return NULL;
}

// A line that names the key without '=' gives it no value, whatever later
// lines say.
const IniKey *IniDocument::key(const IniSection *section, const std::string &name) {
  const IniKey *first = firstLineNaming(section, name);
  return first && first->hasValue ? first : NULL;
}

const IniKey *IniDocument::key(const std::string &section, const std::string &name) const {
  return key(this->section(section), name);
}

size_t IniDocument::sectionNamesBytes() const {
  size_t bytes = 1;  // the list's final NUL
  for (const IniSection &section : sections_) bytes += section.name.size() + 1;
  return bytes;
}
