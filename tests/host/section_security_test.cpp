// The configuration section's security descriptor: owned by the daemon's
// user, read for ALL APPLICATION PACKAGES and for lower integrity levels,
// written by nothing below the daemon's own level; full access for the
// daemon's user, whose reload opens the section again for writing while
// other processes hold it. And the daemon writes into no section of that
// name that someone else made first.
// Host only: only winsim records the descriptor a section was made with,
// lets the test set the user's SID and integrity level (Wine has no
// integrity levels: every process there may write what its user may), and
// plays a second program in this one.
#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "config/image_publish.h"
#include "config/loader.h"
#include "config/loader_state.h"
#include "host/fresh_process.h"
#include "unit/loader_fixture.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

const char USER_SID[] = "S-1-5-21-4000000001-4000000002-4000000003-1042";

class SectionSecurityTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    winsimResetKernel();
    ASSERT_EQ(1, winsimSetUserSid(USER_SID));
  }

  void TearDown() override {
    LoaderTest::TearDown();
    winsimResetKernel();
  }

  // The records of CreateFileMappingA calls for the configuration section.
  static std::vector<WinsimSectionRecord> configurationRecords() {
    std::vector<WinsimSectionRecord> found;
    for (int i = 0; i < winsimSectionRecordCount(); ++i) {
      const WinsimSectionRecord *record = winsimSectionRecord(i);
      if (std::string(record->name) == VORN_SECTION_NAME) found.push_back(*record);
    }
    return found;
  }

  static std::string expectedDescriptor(const char *sid, const char *level = "ME") {
    return std::string("O:") + sid + "D:P(A;;GA;;;" + sid + ")(A;;GR;;;S-1-15-2-1)S:(ML;;NW;;;" +
           level + ")";
  }

  static std::string statusError() {
    char status[64] = "";
    GetPrivateProfileStringA("Status", "Error", "", status, sizeof status,
                             programDirectoryIni().c_str());
    return status;
  }

  FreshProcessStyle style;
};

TEST_F(SectionSecurityTest, TheSectionIsMadeForTheUserAndAppPackagesAndReadFromBelow) {
  long localBlocks = winsimLocalBlockCount();
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n"));
  std::vector<WinsimSectionRecord> records = configurationRecords();
  ASSERT_EQ(1u, records.size());
  EXPECT_TRUE(records[0].hasDescriptor);
  EXPECT_EQ(expectedDescriptor(USER_SID), records[0].descriptor);
  // The SID's text and the descriptor are given back.
  EXPECT_EQ(localBlocks, winsimLocalBlockCount());
}

TEST_F(SectionSecurityTest, TheDescriptorNamesWhicheverUserRunsTheDaemon) {
  const char other[] = "S-1-5-21-7-8-9-500";
  ASSERT_EQ(1, winsimSetUserSid(other));
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n"));
  std::vector<WinsimSectionRecord> records = configurationRecords();
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(expectedDescriptor(other), records[0].descriptor);
}

// An elevated daemon labels its section High: a program of the user at
// Medium may read it and not write it.
TEST_F(SectionSecurityTest, AnElevatedDaemonsSectionIsHigh) {
  winsimSetIntegrityLevel(SECURITY_MANDATORY_HIGH_RID);
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n"));
  std::vector<WinsimSectionRecord> records = configurationRecords();
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(expectedDescriptor(USER_SID, "HI"), records[0].descriptor);
  winsimSetIntegrityLevel(SECURITY_MANDATORY_MEDIUM_RID);
  HANDLE reader = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  EXPECT_NE(nullptr, reader);
  if (reader) CloseHandle(reader);
  EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_WRITE, FALSE, VORN_SECTION_NAME));
}

// Mandatory labels, no-write-up: a process below the section's level may
// not write it. A sandboxed program of the user (Low) reads the
// configuration like every program and cannot change it; with a Low label
// it could.
TEST_F(SectionSecurityTest, ALowIntegrityProgramReadsTheSectionAndCannotWriteIt) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n"));
  struct Case {
    DWORD level;
    DWORD access;
    bool opens;
  } cases[] = {
      {SECURITY_MANDATORY_LOW_RID, FILE_MAP_READ, true},
      {SECURITY_MANDATORY_LOW_RID, FILE_MAP_WRITE, false},
      {SECURITY_MANDATORY_UNTRUSTED_RID, FILE_MAP_WRITE, false},
      {SECURITY_MANDATORY_MEDIUM_RID, FILE_MAP_WRITE, true},
  };
  for (const Case &c : cases) {
    winsimSetIntegrityLevel(c.level);
    HANDLE opened = OpenFileMappingA(c.access, FALSE, VORN_SECTION_NAME);
    winsimSetIntegrityLevel(SECURITY_MANDATORY_MEDIUM_RID);
    EXPECT_EQ(c.opens, opened != NULL) << "level " << c.level << " access " << c.access;
    if (opened) CloseHandle(opened);
  }
}

// Another program makes a section of the name before the daemon's load
// and keeps a writable view, to steer every click once the daemon has
// written its image there (here: the default action becomes "NoAction").
// The daemon writes nothing into it and reports the designed mapping
// failure; no hooked program can then take an image of the daemon's from
// it. A reserve-only section would fault on the daemon's first write.
// A program of the same user at the daemon's own level is no such
// stranger: it may change vorn.ini itself.
TEST_F(SectionSecurityTest, TheDaemonWritesIntoNoSectionSomeoneElseMadeFirst) {
  struct Squatter {
    const char *what;
    const char *user;
    DWORD level;
    DWORD reserve;
  } squatters[] = {
      {"a sandboxed program of the user", USER_SID, SECURITY_MANDATORY_LOW_RID, 0},
      {"another user", "S-1-5-21-7-8-9-1013", SECURITY_MANDATORY_MEDIUM_RID, 0},
      {"a reserve-only section", USER_SID, SECURITY_MANDATORY_MEDIUM_RID, SEC_RESERVE},
  };
  const std::string file = "[List1]\nHook1=LBUTTONUP\nDefault.Action=LowerAndSwitch\n";
  for (const Squatter &squatter : squatters) {
    SCOPED_TRACE(squatter.what);
    ASSERT_EQ(1, winsimSetUserSid(squatter.user));
    winsimSetIntegrityLevel(squatter.level);
    HANDLE squatted = CreateFileMappingA(
        INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE | squatter.reserve, 0, 65536, VORN_SECTION_NAME);
    ASSERT_NE(nullptr, squatted);
    unsigned char *kept = (unsigned char *)MapViewOfFile(squatted, FILE_MAP_WRITE, 0, 0, 0);
    ASSERT_NE(nullptr, kept);
    ASSERT_EQ(1, winsimSetUserSid(USER_SID));
    winsimSetIntegrityLevel(SECURITY_MANDATORY_MEDIUM_RID);

    EXPECT_EQ(0, load(file));
    EXPECT_EQ(nullptr, imageHeader);
    EXPECT_EQ("fail to FileMapping", statusError());
    if (!squatter.reserve) {
      std::vector<unsigned char> untouched(65536, 0);
      EXPECT_EQ(0, memcmp(untouched.data(), kept, untouched.size())) << "the daemon wrote into it";
      // The squatter writes an image of its own (an empty one passes every
      // check of its bytes); a hooked program maps it at attach ...
      memset(kept, 0xFF, IMAGE_HEADER_SIZE);
    }
    releaseConfiguration();

    // ... and drops it at its first hook call, once it has asked who made
    // it. A reserve-only section is dropped at attach, before a read.
    mapPublishedImage();
    EXPECT_EQ(squatter.reserve == 0, imageHeader != nullptr);
    followPublishedImage();
    EXPECT_EQ(nullptr, imageHeader) << "a hooked program took the squatter's image";
    releaseConfiguration();
    UnmapViewOfFile(kept);
    CloseHandle(squatted);
  }
  // Once the name is free again, the daemon's own section is made.
  EXPECT_EQ(1, load(file));
}

// Another process holds the section: the reload opens it again for
// writing, which the descriptor must still allow the user, and writes the
// new image into it.
TEST_F(SectionSecurityTest, AReloadWritesIntoASectionOthersStillHold) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n"));
  HANDLE reader = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  ASSERT_NE(nullptr, reader);
  const unsigned char *view = (const unsigned char *)MapViewOfFile(reader, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(nullptr, view);
  releaseConfiguration();
  ASSERT_EQ(1, load("[List1]\nHook1=MBUTTONUP\n"));
  EXPECT_EQ(2u, configurationRecords().size());
  EXPECT_NE(NO_OFFSET, readImageInt(view, HEADER_SLOT_MBUTTONUP));
  EXPECT_EQ(NO_OFFSET, readImageInt(view, HEADER_SLOT_LBUTTONUP));
  UnmapViewOfFile(view);
  CloseHandle(reader);
}

// Without ADVAPI32 no descriptor can be built: the section is made with
// the default security, and the load works as before. (The library looks
// the DLL up once per process: a fresh copy of the program.)
TEST_F(SectionSecurityTest, WithoutAdvapi32TheDefaultSecurityIsUsed) {
  EXPECT_EXIT(
      {
        winsimSetLibraryPresent("advapi32.dll", FALSE);
        long localBlocks = winsimLocalBlockCount();
        int loaded = load("[List1]\nHook1=LBUTTONUP\n");
        std::vector<WinsimSectionRecord> records = configurationRecords();
        fprintf(stderr, "loaded=%d records=%d descriptor=%d blocks=%ld\n", loaded,
                (int)records.size(), records.empty() ? -1 : records[0].hasDescriptor,
                winsimLocalBlockCount() - localBlocks);
        exit(0);
      },
      ::testing::ExitedWithCode(0), "loaded=1 records=1 descriptor=0 blocks=0");
}

}  // namespace
}  // namespace vorntest
