// Test support for the configuration loader: writing vorn.ini where the
// loader looks for it, loading it, and reading the compiled image back.
#pragma once

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "config/image_layout.h"
#include "config/loader.h"
#include "hooks/shared_state.h"

namespace vorntest {

// Writes `contents` to `path` byte for byte (the Win32 way, so that the
// same code serves Windows paths under Wine and winsim's on the host).
inline bool writeFileBytes(const std::string &path, const std::string &contents) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, contents.data(), (DWORD)contents.size(), &written, NULL);
  CloseHandle(file);
  return ok && written == contents.size();
}

inline std::string readFileBytes(const std::string &path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string contents(GetFileSize(file, NULL), '\0');
  DWORD read = 0;
  if (!contents.empty()) ReadFile(file, &contents[0], (DWORD)contents.size(), &read, NULL);
  CloseHandle(file);
  contents.resize(read);
  return contents;
}

inline std::string windowsDirectoryIni() {
  char path[MAX_PATH];
  GetWindowsDirectoryA(path, MAX_PATH);
  PathAppendA(path, "vorn.ini");
  return path;
}

inline std::string programDirectoryIni() {
  char path[MAX_PATH];
  GetModuleFileNameA(NULL, path, MAX_PATH);
  PathRemoveFileSpecA(path);
  PathAppendA(path, "vorn.ini");
  return path;
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

  static void removeConfigurationFiles() {
    DeleteFileA(windowsDirectoryIni().c_str());
    DeleteFileA(programDirectoryIni().c_str());
  }

  // Writes `contents` as vorn.ini beside the program and loads it.
  int load(const std::string &contents) {
    EXPECT_TRUE(writeFileBytes(programDirectoryIni(), contents));
    return loadConfiguration();
  }

  ImageReader image() const { return ImageReader{imageHeader, imageSize}; }
};

}  // namespace vorntest
