// Test support for the configuration loader: writing vorn.ini where the
// loader looks for it, loading it, and reading the compiled image back.
#pragma once

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <shlobj.h>

#include <string>
#include <vector>

#include "config/image_layout.h"
#include "config/loader.h"
#include "config/loader_state.h"
#include "support/win32_files.h"

namespace vorntest {

// Each place's vorn.ini as the loader names it: the folder and
// "\\vorn.ini".
inline std::string windowsDirectoryIni() {
  char path[MAX_PATH];
  GetWindowsDirectoryA(path, MAX_PATH);
  return std::string(path) + "\\vorn.ini";
}

inline std::string programDirectoryIni() {
  char path[MAX_PATH];
  GetModuleFileNameA(NULL, path, MAX_PATH);
  PathRemoveFileSpecA(path);
  return std::string(path) + "\\vorn.ini";
}

// %APPDATA%\vorn\vorn.ini, and its folder in `folder`.
inline std::string appDataIni(std::string *folder = nullptr) {
  WCHAR wide[MAX_PATH] = {0};
  SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, wide);
  char path[MAX_PATH] = "";
  WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, NULL, NULL);
  std::string vornFolder = std::string(path) + "\\vorn";
  if (folder) *folder = vornFolder;
  return vornFolder + "\\vorn.ini";
}

// No vorn.ini is left in the Windows directory, %APPDATA%\vorn or beside
// the program: the loader would find it in the next test.
inline void removeConfigurationFiles() {
  DeleteFileA(windowsDirectoryIni().c_str());
  DeleteFileA(appDataIni().c_str());
  DeleteFileA(programDirectoryIni().c_str());
}

inline std::string temporaryPath(const char *name) {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  PathAppendA(path, name);
  return path;
}

// Joins lines with CRLF, as files written on Windows have them.
inline std::string crlf(std::initializer_list<const char *> lines) {
  std::string text;
  for (const char *line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

// List1 with nine rules, each naming a match of its own: more records
// than a short file's size suggests.
inline std::string nineRulesWithDistinctMatches() {
  std::string file = "[List1]\n";
  for (int rule = 1; rule <= 9; ++rule) {
    file += std::to_string(rule) + ".Match=m" + std::to_string(rule) + "\n";
  }
  return file;
}

// A loaded image, read back field by field. Offsets are those of the image.
struct ImageReader {
  const unsigned char *base;
  uint32_t size;

  int32_t field(uint32_t offset) const {
    EXPECT_LE(offset + 4, size) << "field outside the image";
    if (offset + 4 > size) return NO_OFFSET;
    return readImageInt(base, offset);
  }
  std::string text(int32_t offset) const {
    EXPECT_GE(offset, 0);
    EXPECT_LT((uint32_t)offset, size);
    if (offset < 0 || (uint32_t)offset >= size) return "<outside>";
    return std::string((const char *)base + offset);
  }
  int32_t header(uint32_t slot) const { return field(slot); }
  int32_t list(int index) const {  // 0-based position in the list chain
    int32_t record = field(HEADER_FIRST_LIST);
    for (int i = 0; i < index && record != NO_OFFSET; ++i) record = field(record + LIST_NEXT);
    return record;
  }
  int listCount() const {
    int count = 0;
    for (int32_t r = field(HEADER_FIRST_LIST); r != NO_OFFSET; r = field(r + LIST_NEXT)) ++count;
    return count;
  }
  int matchCount() const {
    int count = 0;
    for (int32_t r = field(HEADER_FIRST_MATCH); r != NO_OFFSET; r = field(r + MATCH_NEXT)) ++count;
    return count;
  }
  int32_t ruleCount(int32_t list) const { return field(list + LIST_COUNT); }
  int32_t ruleMatch(int32_t list, int rule) const {
    return field(listEntryField(list + LIST_MATCH, rule));
  }
  int32_t ruleForeground(int32_t list, int rule) const {
    return field(listEntryField(list + LIST_FOREGROUND, rule));
  }
  std::string ruleAction(int32_t list, int rule) const {
    return text(field(listEntryField(list + LIST_ACTION, rule)));
  }
  int32_t rulePolicy(int32_t list, int rule) const {
    return field(listEntryField(list + LIST_POLICY, rule));
  }
  std::string matchName(int32_t match) const { return text(field(match + MATCH_NAME)); }
  int32_t patternCount(int32_t match) const { return field(match + MATCH_PATTERN_COUNT); }
  std::string invokedClass(int32_t match, int p) const {
    return text(field(matchPatternField(match + MATCH_INVOKED_CLASS, p)));
  }
  std::string activeClass(int32_t match, int p) const {
    return text(field(matchPatternField(match + MATCH_ACTIVE_CLASS, p)));
  }
  std::string parentClass(int32_t match, int p) const {
    return text(field(matchPatternField(match + MATCH_PARENT_CLASS, p)));
  }
  int32_t hitTest(int32_t match, int p) const {
    return field(matchPatternField(match + MATCH_HIT_TEST, p));
  }
  // The rule's MatchRecord name, or "<none>" for -1.
  std::string ruleMatchName(int32_t list, int rule) const {
    int32_t match = ruleMatch(list, rule);
    return match == NO_OFFSET ? "<none>" : matchName(match);
  }
};

// Puts vorn.ini where the loader looks, loads it, and cleans up: no file
// is left in the Windows directory or beside the program, and the image is
// released.
class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { removeConfigurationFiles(); }

  void TearDown() override {
    releaseConfiguration();
    removeConfigurationFiles();
  }

  // Writes `contents` as vorn.ini beside the program and loads it.
  int load(const std::string &contents) {
    EXPECT_TRUE(writeFileBytes(programDirectoryIni(), contents));
    return loadConfiguration();
  }

  ImageReader image() const { return ImageReader{imageHeader, imageSize}; }
};

}  // namespace vorntest
