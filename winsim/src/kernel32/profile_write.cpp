// WritePrivateProfileStringA: sets, adds or removes one key, or removes a
// whole section. Every byte of the file that the change does not concern
// stays as it was (line ends, blank lines, comments, spacing, order);
// lines that are added end in "\r\n".
#include <windows.h>

#include <string>

#include "profile_file.h"
#include "profile_text.h"

namespace {

using winsim::ProfileLine;
using winsim::TextRange;

const char LINE_BREAK[] = "\r\n";

std::string asString(TextRange range) { return std::string(range.begin, range.length); }

// A written value loses its leading blanks, as Windows' profile functions
// (as Wine implements them) store it; trailing ones stay.
LPCSTR storedValue(LPCSTR value) {
  while (*value == ' ' || *value == '\t' || *value == '\v' || *value == '\f') ++value;
  return value;
}

std::string entryLine(TextRange name, LPCSTR value) {
  return asString(name) + "=" + storedValue(value);
}

bool endsWithLineBreak(const std::string &text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

bool holdsNoLines(const std::string &text) {
  size_t position = 0;
  ProfileLine line;
  return !winsim::nextProfileLine(text, &position, &line);
}

// The first line of the section that a write to `key` addresses: a line
// whose name (before '=', or the whole line when it has none) is `key`.
bool findEntry(const std::string &text, const ProfileLine &header, TextRange key,
               ProfileLine *entry) {
  size_t position = header.end;
  while (winsim::nextSectionLine(text, &position, entry)) {
    if (winsim::sameName(winsim::entryName(text, *entry), key)) return true;
  }
  return false;
}

// Where a new key goes: after the last line of the section that is not
// blank, so blank lines that separate it from the next section stay there.
ProfileLine lastFilledLine(const std::string &text, const ProfileLine &header) {
  ProfileLine last = header;
  ProfileLine line;
  size_t position = header.end;
  while (winsim::nextSectionLine(text, &position, &line)) {
    if (!winsim::isBlankLine(text, line)) last = line;
  }
  return last;
}

bool removeSection(std::string *text, const ProfileLine &header) {
  size_t end = header.end;
  ProfileLine line;
  while (winsim::nextSectionLine(*text, &end, &line)) {
  }
  text->erase(header.begin, end - header.begin);
  return true;
}

bool removeEntry(std::string *text, const ProfileLine &entry) {
  text->erase(entry.begin, entry.end - entry.begin);
  return true;
}

// A value that reads back the same as the one there leaves the line as it
// is written.
bool replaceEntry(std::string *text, const ProfileLine &entry, LPCSTR value) {
  TextRange key, current;
  bool hasValue = winsim::keyAndValue(*text, entry, &key, &current);
  if (hasValue && asString(current) == asString(winsim::trimmedString(value))) return false;
  std::string newLine = entryLine(winsim::entryName(*text, entry), value);
  text->replace(entry.begin, entry.breakBegin - entry.begin, newLine);
  return true;
}

bool addEntry(std::string *text, const ProfileLine &header, const std::string &newLine) {
  ProfileLine last = lastFilledLine(*text, header);
  std::string insertion = newLine + LINE_BREAK;
  bool unterminated = last.end > last.begin && last.breakBegin == last.end;  // ends the file
  if (unterminated) insertion = LINE_BREAK + insertion;
  text->insert(last.end, insertion);
  return true;
}

bool appendSection(std::string *text, TextRange section, TextRange key, LPCSTR value) {
  if (!holdsNoLines(*text) && !endsWithLineBreak(*text)) *text += LINE_BREAK;
  *text += "[" + asString(section) + "]" + LINE_BREAK + entryLine(key, value) + LINE_BREAK;
  return true;
}

// Applies the write to the file's text; false when nothing changes.
bool applyWrite(std::string *text, LPCSTR section, LPCSTR key, LPCSTR value) {
  TextRange sectionName = winsim::trimmedString(section);
  ProfileLine header;
  bool hasSection = winsim::findSection(*text, sectionName, &header);
  if (!key) return hasSection && removeSection(text, header);
  TextRange keyName = winsim::trimmedString(key);
  if (!hasSection) return value && appendSection(text, sectionName, keyName, value);
  ProfileLine entry;
  bool hasEntry = findEntry(*text, header, keyName, &entry);
  if (!value) return hasEntry && removeEntry(text, entry);
  if (hasEntry) return replaceEntry(text, entry, value);
  return addEntry(text, header, entryLine(keyName, value));
}

BOOL fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

extern "C" {

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!section) return FALSE;
  std::string path;
  if (!winsim::profileHostPath(fileName, &path)) return FALSE;
  std::string text;
  DWORD error = winsim::loadProfileFile(path, &text);
  if (error == ERROR_FILE_NOT_FOUND) {
    text.clear();
  } else if (error) {
    return fail(error);
  }
  if (!applyWrite(&text, section, key, value)) return TRUE;
  error = winsim::checkProfileWritable(path);
  if (!error) error = winsim::replaceProfileFile(path, text);
  return error ? fail(error) : TRUE;
}

}  // extern "C"
