// The configuration section's security descriptor: read for ALL
// APPLICATION PACKAGES and, through a low mandatory label, for low
// integrity processes; full access for the daemon's user, whose reload
// opens the section again for writing while other processes hold it.
// Host only: only winsim records the descriptor a section was made with,
// and the test sets the user's SID.
#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

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

  static std::string expectedDescriptor(const char *sid) {
    return std::string("D:P(A;;GA;;;") + sid + ")(A;;GR;;;S-1-15-2-1)S:(ML;;NW;;;LW)";
  }

  FreshProcessStyle style;
};

TEST_F(SectionSecurityTest, TheSectionIsMadeForTheUserAppPackagesAndLowIntegrity) {
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
