// vorn.ini as the user wrote it: its sections and keys with their line
// numbers. The loader decides what is compiled; this only tells where in
// the file each thing stands, and what the file holds that the loader never
// reads. Lookups follow the profile functions: names are found
// case-insensitively, and only the first of several sections of one name
// is searched for keys.
#pragma once

#include <string>
#include <vector>

struct IniKey {
  std::string name;
  std::string value;     // trimmed, one pair of surrounding quotes removed
  size_t rawLength = 0;  // characters of the value as the loader reads it
  int line = 0;
  // False for a line that names the key without '=': to the profile
  // functions the key then has no value, and later lines of its name are
  // never read.
  bool hasValue = true;
};

struct IniSection {
  std::string name;
  int line = 0;
  std::vector<IniKey> keys;
};

class IniDocument {
 public:
  // Reads and scans the file as the profile functions read it; false when
  // it cannot be read. A file that starts with the UTF-16LE byte order mark
  // is Unicode, its text seen in the ANSI code page; any other file is
  // read byte for byte, a UTF-8 byte order mark as part of line 1.
  bool load(const char *path);
  void scan(const std::string &text);

  bool isUnicode() const { return unicode_; }
  // Whether the file starts with a UTF-8 byte order mark.
  bool startsWithUtf8Mark() const { return utf8Marked_; }
  // Line 1 without its UTF-8 byte order mark, trimmed.
  const std::string &firstLineAfterMark() const { return firstLineAfterMark_; }

  const std::vector<IniSection> &sections() const { return sections_; }

  // The section the profile functions search for `name`, or NULL.
  const IniSection *section(const std::string &name) const;

  // The key the profile functions find for `key` in `section`, or NULL.
  const IniKey *key(const std::string &section, const std::string &key) const;
  static const IniKey *key(const IniSection *section, const std::string &key);

  // The first line of `section` that names `key`, with or without a value.
  static const IniKey *firstLineNaming(const IniSection *section, const std::string &key);

  // Bytes that GetPrivateProfileSectionNamesA needs for all section names.
  size_t sectionNamesBytes() const;

 private:
  std::vector<IniSection> sections_;
  bool unicode_ = false;
  bool utf8Marked_ = false;
  std::string firstLineAfterMark_;
};

// Case-insensitive equality, as the profile functions compare names.
bool sameNameIgnoringCase(const std::string &a, const std::string &b);
