// The one entry vorn writes into vorn.ini when its section cannot be made:
// placed as the profile functions would place it, with every other byte of
// the file kept (UTF-8 and code page 932 comments included), and never at
// the risk of the file: a read-only or held file is left alone, and no
// temporary file stays behind. Run against the platform itself (winsim on
// the host, Windows under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/status_entry.h"
#include "support/caller_trace.h"
#include "winsim_scratch.h"

namespace vorntest {
namespace {

const char ENTRY[] = "Error=fail to FileMapping";
const std::string SECTION = std::string("[Status]\r\n") + ENTRY + "\r\n";
// "# 設定" in UTF-8 and "; 設定ファイル" in code page 932: bytes the ANSI
// code page of a Western system cannot hold, and a 932 trail byte '\'.
const std::string UTF8_COMMENT = "# \xE8\xA8\xAD\xE5\xAE\x9A\n";
const std::string CP932_COMMENT = "; \x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\x5C\r\n";

struct EntryCase {
  const char *what;
  std::string before, after;
  // Where Windows and Wine read one file differently, only the bytes are
  // pinned: the read-back would follow whichever system runs the test.
  bool readsAlike = true;
};

const EntryCase ENTRY_CASES[] = {
    {"no section: appended after the last line", UTF8_COMMENT + "[List1]\nHook1=LBUTTONUP\n",
     UTF8_COMMENT + "[List1]\nHook1=LBUTTONUP\n" + SECTION},
    {"no section, last line unterminated", CP932_COMMENT + "[List1]\nHook1=LBUTTONUP",
     CP932_COMMENT + "[List1]\nHook1=LBUTTONUP\r\n" + SECTION},
    {"empty file", "", SECTION},
    {"section found in any case: key after its last filled line",
     "[STATUS]\nOther=1\n" + CP932_COMMENT + "\n\n[List1]\n",
     "[STATUS]\nOther=1\n" + CP932_COMMENT + ENTRY + "\r\n\n\n[List1]\n"},
    {"section that ends the file unterminated", UTF8_COMMENT + "[Status]",
     UTF8_COMMENT + "[Status]\r\n" + ENTRY + "\r\n"},
    {"old value replaced, the line's name, blanks and break kept",
     "[Status]\r\n  error \t= old \xE8\xA8\xAD\r\nNext=2\r\n",
     "[Status]\r\n  error \t=fail to FileMapping\r\nNext=2\r\n"},
    {"a key without '=' takes the value", "[ status ]\nError\nError=hidden\n",
     "[ status ]\nError=fail to FileMapping\nError=hidden\n"},
    {"only the first of two sections counts",
     "[Status]\nA=1\n[Other]\nError=x\n[Status]\nError=y\n",
     "[Status]\nA=1\n" + std::string(ENTRY) + "\r\n[Other]\nError=x\n[Status]\nError=y\n"},
    // Windows' profile functions take a UTF-8 byte order mark for part of
    // the first line, so that [Status] is no header there (Wine reads it).
    {"a byte order mark makes the first header none", "\xEF\xBB\xBF[Status]\r\nA=1\r\n",
     "\xEF\xBB\xBF[Status]\r\nA=1\r\n" + SECTION, false},
    {"lone CR line ends", "[Status]\rError=old\r; tail",
     "[Status]\rError=fail to FileMapping\r; tail"},
    {"there already: nothing changes", "[Status]\r\nError =  fail to FileMapping \r\n",
     "[Status]\r\nError =  fail to FileMapping \r\n"},
    {"a value in another case is another value", "[Status]\nError=FAIL TO FILEMAPPING\n",
     "[Status]\nError=fail to FileMapping\n"},
};

class StatusEntryTest : public ::testing::Test {
 protected:
  // After the write only vorn.ini is left in the folder: removing it
  // empties the folder, which then goes.
  void expectNothingLeftBeside(CALLER_PARAMETERS) {
    TRACE_CALLER();
    std::string ini = scratch.path("vorn.ini");
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(DeleteFileA(ini.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(scratch.folder().c_str()))
        << "a temporary file stayed beside vorn.ini (error " << GetLastError() << ")";
  }

  ScratchFolder scratch;
};

TEST_F(StatusEntryTest, EntryIsPlacedAsTheProfileFunctionsWouldAndNoOtherByteChanges) {
  for (const EntryCase &entry : ENTRY_CASES) {
    SCOPED_TRACE(entry.what);
    ASSERT_TRUE(scratch.write("vorn.ini", entry.before));
    EXPECT_EQ(1, writeStatusError(scratch.path("vorn.ini").c_str()));
    EXPECT_EQ(entry.after, scratch.read("vorn.ini"));
    if (!entry.readsAlike) continue;
    char value[64] = "";
    GetPrivateProfileStringA("Status", "Error", "", value, sizeof value,
                             scratch.path("vorn.ini").c_str());
    EXPECT_STREQ("fail to FileMapping", value);
  }
  expectNothingLeftBeside();
}

TEST_F(StatusEntryTest, ReadOnlyFileIsLeftAlone) {
  const std::string before = CP932_COMMENT + "[List1]\n";
  ASSERT_TRUE(scratch.write("vorn.ini", before));
  ASSERT_TRUE(SetFileAttributesA(scratch.path("vorn.ini").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(0, writeStatusError(scratch.path("vorn.ini").c_str()));
  EXPECT_EQ(before, scratch.read("vorn.ini"));
  expectNothingLeftBeside();
}

// A program holds the file: open for writing (an editor saving it), or
// open without letting it be replaced.
TEST_F(StatusEntryTest, HeldFileIsLeftAlone) {
  const std::string before = UTF8_COMMENT + "[Status]\nError=old\n";
  const struct {
    const char *what;
    DWORD access, share;
  } holds[] = {
      {"held for writing", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
      {"held without sharing deletion", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE},
  };
  for (const auto &hold : holds) {
    SCOPED_TRACE(hold.what);
    ASSERT_TRUE(scratch.write("vorn.ini", before));
    HANDLE held = CreateFileA(scratch.path("vorn.ini").c_str(), hold.access, hold.share, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, writeStatusError(scratch.path("vorn.ini").c_str()));
    CloseHandle(held);
    EXPECT_EQ(before, scratch.read("vorn.ini"));
  }
  expectNothingLeftBeside();
}

TEST_F(StatusEntryTest, MissingFileIsNotMade) {
  EXPECT_EQ(0, writeStatusError(scratch.path("vorn.ini").c_str()));
  EXPECT_FALSE(scratch.exists("vorn.ini"));
}

}  // namespace
}  // namespace vorntest
