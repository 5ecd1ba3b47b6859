// A UTF-8 byte order mark, as Windows' profile functions read it: as the
// first bytes of line 1, so that a section header there is lost; and
// vorncheck says so. Host only: Wine strips the mark, Windows does not.
#include <gtest/gtest.h>
#include <windows.h>

#include "config_checks.h"
#include "ini_document.h"
#include "private_compile.h"
#include "unit/loader_fixture.h"

namespace vorntest {
namespace {

class Utf8MarkTest : public ::testing::Test {
 protected:
  void TearDown() override {
    releaseConfiguration();
    DeleteFileA(path.c_str());
  }

  void check(const std::string &text) {
    ASSERT_TRUE(writeFileBytes(path, text));
    char fullPath[MAX_PATH];
    ASSERT_EQ(1, compilePrivately(path.c_str(), fullPath));
    ASSERT_TRUE(doc.load(fullPath));
    checkConfiguration(doc, found);
  }

  std::string findingsOnLine(int line) const {
    std::string all;
    for (const Diagnostic &d : found.all()) {
      if (d.line == line) all += d.message + "\n";
    }
    return all;
  }

  std::string path = temporaryPath("utf8-mark-test.ini");
  IniDocument doc;
  Diagnostics found;
};

// The profile functions themselves: the marked header is no header, and
// a write to its section adds the section again at the end.
TEST_F(Utf8MarkTest, TheMarkIsPartOfLineOne) {
  ASSERT_TRUE(writeFileBytes(path, "\xEF\xBB\xBF[Sec]\r\nkey=a\r\n"));
  char value[32];
  GetPrivateProfileStringA("Sec", "key", "none", value, sizeof value, path.c_str());
  EXPECT_STREQ("none", value);
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "key", "c", path.c_str()));
  EXPECT_EQ("\xEF\xBB\xBF[Sec]\r\nkey=a\r\n[Sec]\r\nkey=c\r\n", readFileBytes(path));
}

TEST_F(Utf8MarkTest, TheSectionOnLineOneIsLostAndNamed) {
  check(
      "\xEF\xBB\xBF[Options]\r\nUseXMOUSE=1\r\n[List1]\r\nHook1=MBUTTONUP\r\n"
      "Default.Action=NoAction\r\n");
  EXPECT_EQ(0, GetPrivateProfileIntA("Options", "UseXMOUSE", 0, path.c_str()));
  char value[32];
  GetPrivateProfileStringA("List1", "Hook1", "", value, sizeof value, path.c_str());
  EXPECT_STREQ("MBUTTONUP", value);
  EXPECT_EQ(0, xmouseMode);
  EXPECT_EQ(
      "the file starts with a UTF-8 byte order mark, which Windows reads as part of line 1: the "
      "daemon does not see the section header [Options], and the keys under it belong to no "
      "section; save vorn.ini as ANSI or as UTF-8 without BOM\n",
      findingsOnLine(1));
}

TEST_F(Utf8MarkTest, AMarkBeforeAnythingElseIsStillAWarning) {
  check("\xEF\xBB\xBF; settings\r\n[List1]\r\nHook1=MBUTTONUP\r\nDefault.Action=NoAction\r\n");
  EXPECT_EQ(
      "the file starts with a UTF-8 byte order mark, which Windows reads as part of line 1; save "
      "vorn.ini as ANSI or as UTF-8 without BOM\n",
      findingsOnLine(1));
  EXPECT_EQ(1, found.exitCode());
}

}  // namespace
}  // namespace vorntest
