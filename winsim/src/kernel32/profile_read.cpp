// Reading INI files: GetPrivateProfileStringA (a value, the keys of a
// section, or the section names), GetPrivateProfileIntA and
// GetPrivateProfileSectionNamesA.
#include <windows.h>

#include <string.h>

#include <string>

#include "profile_file.h"
#include "profile_text.h"

namespace {

using winsim::ProfileLine;
using winsim::TextRange;

// Loads the file for a read and reports the outcome as the last error:
// 0 when it was read, else why not.
bool loadForRead(LPCSTR fileName, std::string *text) {
  std::string path;
  if (!winsim::profileHostPath(fileName, &path)) return false;
  DWORD error = winsim::loadProfileFile(path, text);
  SetLastError(error);
  return error == 0;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

// Copies a value into the caller's buffer, cut to fit, without one pair of
// matching surrounding quotes. The quotes are dropped after the cut, so a
// value that only just fits loses its last character with its closing
// quote; Windows' profile functions (as Wine implements them) do the same.
DWORD copyValue(TextRange value, LPSTR buffer, DWORD size) {
  const char *text = value.begin;
  size_t length = value.length;
  bool quoted = length >= 2 && isQuote(text[0]) && text[length - 1] == text[0];
  if (quoted) {
    ++text;
    --length;  // still holds the closing quote
  }
  size_t copied = length < size - 1 ? length : size - 1;
  memcpy(buffer, text, copied);
  buffer[copied] = '\0';
  if (quoted && size >= length && copied > 0) buffer[--copied] = '\0';
  return (DWORD)strlen(buffer);
}

// A default loses its trailing spaces (not tabs, not leading spaces), but
// never its first character: "   " becomes " ".
DWORD copyDefault(LPCSTR defaultValue, LPSTR buffer, DWORD size) {
  if (!defaultValue) defaultValue = "";
  size_t length = strlen(defaultValue);
  while (length > 1 && defaultValue[length - 1] == ' ') --length;
  return copyValue(TextRange{defaultValue, length}, buffer, size);
}

// Copies a list of NUL-terminated names, ended by one more NUL. When it
// does not fit, the list is cut at size - 2 bytes (so the last name may be
// cut short) and closed with two NULs; the result is then size - 2. A list
// exactly one byte too long counts as not fitting, as on Windows.
DWORD copyNameList(const std::string &list, LPSTR buffer, DWORD size) {
  if (list.size() + 1 < size) {
    memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty()) buffer[1] = '\0';
    return (DWORD)list.size();
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  DWORD kept = size - 2;
  memcpy(buffer, list.data(), kept);
  buffer[kept] = '\0';
  buffer[kept + 1] = '\0';
  return kept;
}

void appendName(std::string *list, TextRange name) {
  list->append(name.begin, name.length);
  list->push_back('\0');
}

// Every section, duplicates included, in file order; a nameless one is
// not listed.
std::string sectionNameList(const std::string &text) {
  std::string list;
  size_t position = 0;
  ProfileLine line;
  TextRange name;
  while (winsim::nextProfileLine(text, &position, &line)) {
    if (winsim::sectionHeaderName(text, line, &name) && name.length > 0) appendName(&list, name);
  }
  return list;
}

// The keys of the first section called `section`. Keys that start with ';'
// are readable but not listed.
std::string keyNameList(const std::string &text, LPCSTR section) {
  std::string list;
  ProfileLine line;
  if (!winsim::findSection(text, winsim::trimmedString(section), &line)) return list;
  size_t position = line.end;
  TextRange key, value;
  while (winsim::nextSectionLine(text, &position, &line)) {
    if (winsim::keyAndValue(text, line, &key, &value) && (key.length == 0 || key.begin[0] != ';')) {
      appendName(&list, key);
    }
  }
  return list;
}

bool findValue(const std::string &text, LPCSTR section, LPCSTR key, TextRange *value) {
  ProfileLine header;
  return winsim::findSection(text, winsim::trimmedString(section), &header) &&
         winsim::findKey(text, header, winsim::trimmedString(key), value);
}

// A digit of any base up to 36: letters follow the decimal digits, so that
// a letter too large for the base ends a number as any other character does.
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

// "0x", "0b" and "0o" (lower case only) choose hexadecimal, binary and
// octal; anything else is decimal.
unsigned numberBase(const char **text) {
  const char *p = *text;
  if (p[0] != '0') return 10;
  unsigned base = p[1] == 'x' ? 16 : p[1] == 'b' ? 2 : p[1] == 'o' ? 8 : 10;
  if (base != 10) *text = p + 2;
  return base;
}

// Integers as the profile functions read them: every control character and
// space before the number is passed over, then an optional sign, a base
// prefix and digits, up to the first character that is no digit of the
// base, in 32-bit arithmetic that wraps.
UINT parseProfileInteger(const char *text) {
  while (*text != '\0' && (unsigned char)*text <= ' ') ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  unsigned base = numberBase(&text);
  uint32_t result = 0;
  for (;; ++text) {
    int digit = digitValue(*text);
    if (digit < 0 || (unsigned)digit >= base) break;
    result = result * base + (uint32_t)digit;
  }
  return negative ? 0u - result : result;
}

// The profile functions read a number through a 30-byte buffer: digits
// beyond the 29th are never seen.
const DWORD INTEGER_TEXT_SIZE = 30;

}  // namespace

extern "C" {

DWORD WINAPI GetPrivateProfileSectionNamesA(LPSTR buffer, DWORD size, LPCSTR fileName) {
  if (!buffer || size == 0) return 0;
  std::string text;
  bool loaded = loadForRead(fileName, &text);
  return copyNameList(loaded ? sectionNameList(text) : std::string(), buffer, size);
}

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                                      DWORD size, LPCSTR fileName) {
  if (!buffer || size == 0) return 0;
  if (!section) return GetPrivateProfileSectionNamesA(buffer, size, fileName);
  std::string text;
  bool loaded = loadForRead(fileName, &text);
  if (loaded && !key) {
    // An empty key list (also one cut to nothing) gives the default instead.
    DWORD listed = copyNameList(keyNameList(text, section), buffer, size);
    if (listed > 0) return listed;
  }
  TextRange value;
  if (loaded && key && findValue(text, section, key, &value)) return copyValue(value, buffer, size);
  return copyDefault(defaultValue, buffer, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  char text[INTEGER_TEXT_SIZE];
  GetPrivateProfileStringA(section, key, "", text, sizeof text, fileName);
  if (text[0] == '\0') return (UINT)defaultValue;
  return parseProfileInteger(text);
}

}  // extern "C"
