// The loader without SHLWAPI or VERSION: every call of a missing DLL's
// functions answers as a failed call does. Host only: only winsim can make
// a system DLL go missing.
#include "unit/loader_fixture.h"

#include "config/loader_state.h"
#include "system/delay_loaded.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

// Each test starts with nothing looked up and leaves nothing looked up,
// so that the next finds the DLLs afresh.
class MissingLibraryTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    winsimResetKernel();
    forgetDelayLoadedFunctions();
  }

  void TearDown() override {
    forgetDelayLoadedFunctions();
    winsimResetKernel();
    LoaderTest::TearDown();
  }
};

// The shell's version cannot be read: as for a shell32.dll without one,
// UseXMOUSE gives the simulated mode.
TEST_F(MissingLibraryTest, WithoutVersionTheShellCountsAsUnknown) {
  winsimSetLibraryPresent("version.dll", FALSE);
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=1\nMaskXMOUSEOnMOUSEMOVE=1\n"));
  EXPECT_EQ(1, xmouseMode);
  EXPECT_EQ(1, maskXmouseOnMove);
  EXPECT_EQ(0, winsimLibraryLoadCount("version.dll"));
}

// No candidate path can be built, so no file is found: the load fails and
// the hooks pass every click.
TEST_F(MissingLibraryTest, WithoutShlwapiNoFileIsFound) {
  winsimSetLibraryPresent("shlwapi.dll", FALSE);
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), "[List1]\nHook1=LBUTTONUP\n"));
  EXPECT_EQ(0, loadConfiguration());
  EXPECT_EQ(nullptr, imageHeader);
}

// A DLL found missing stays missing for the process, and one found stays
// loaded once however often the loader runs.
TEST_F(MissingLibraryTest, EachLibraryIsLookedUpOnce) {
  winsimSetLibraryPresent("version.dll", FALSE);
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=1\n"));
  winsimSetLibraryPresent("version.dll", TRUE);
  releaseConfiguration();
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=1\n"));
  EXPECT_EQ(1, xmouseMode);
  EXPECT_EQ(0, winsimLibraryLoadCount("version.dll"));
  EXPECT_EQ(1, winsimLibraryLoadCount("shlwapi.dll"));

  forgetDelayLoadedFunctions();
  EXPECT_EQ(0, winsimLibraryLoadCount("shlwapi.dll"));
  for (int load = 0; load < 3; ++load) {
    releaseConfiguration();
    ASSERT_EQ(1, this->load("[Options]\nUseXMOUSE=1\n"));
    EXPECT_EQ(2, xmouseMode);
  }
  EXPECT_EQ(1, winsimLibraryLoadCount("version.dll"));
  EXPECT_EQ(1, winsimLibraryLoadCount("shlwapi.dll"));
}

}  // namespace
}  // namespace vorntest
