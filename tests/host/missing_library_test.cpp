// The loader without SHLWAPI or VERSION: every call of a missing DLL's
// functions answers as a failed call does. Host only: only winsim can make
// a system DLL go missing.
//
// The library looks each DLL up once per process, and this process has
// done so already: each case runs in a fresh copy of the test program and
// reports what it saw on its standard error.
#include "unit/loader_fixture.h"

#include <stdio.h>
#include <stdlib.h>

#include "config/loader_state.h"
#include "host/fresh_process.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

class MissingLibraryTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    winsimResetKernel();
  }

  void TearDown() override {
    winsimResetKernel();
    LoaderTest::TearDown();
  }

  static void report(int loaded) {
    fprintf(stderr, "loaded=%d mode=%d mask=%d version=%d shell32=%d\n", loaded, (int)xmouseMode,
            (int)maskXmouseOnMove, winsimLibraryLoadCount("version.dll"),
            winsimLibraryLoadCount("shell32.dll"));
  }

  FreshProcessStyle style;
};

// The shell's version cannot be read: as for a shell32.dll without one,
// UseXMOUSE gives the simulated mode.
TEST_F(MissingLibraryTest, WithoutVersionTheShellCountsAsUnknown) {
  EXPECT_EXIT(
      {
        winsimSetLibraryPresent("version.dll", FALSE);
        report(load("[Options]\nUseXMOUSE=1\nMaskXMOUSEOnMOUSEMOVE=1\n"));
        exit(0);
      },
      ::testing::ExitedWithCode(0), "loaded=1 mode=1 mask=1 version=0 shell32=1");
}

// Without the shell %APPDATA% cannot be told: a file there is not found,
// and the places that need no shell are still looked in.
TEST_F(MissingLibraryTest, WithoutShell32OnlyAppDataIsSkipped) {
  EXPECT_EXIT(
      {
        winsimSetLibraryPresent("shell32.dll", FALSE);
        std::string folder;
        std::string inAppData = appDataIni(&folder);
        CreateDirectoryA(folder.c_str(), NULL);
        writeFileBytes(inAppData, "[List1]\nHook1=LBUTTONUP\n");
        releaseConfiguration();
        int loadedFromAppData = loadConfiguration();
        DeleteFileA(inAppData.c_str());
        report(load("[List1]\nHook1=LBUTTONUP\n"));
        fprintf(stderr, "appdata=%d\n", loadedFromAppData);
        exit(0);
      },
      ::testing::ExitedWithCode(0), "loaded=1 .* shell32=0\nappdata=0");
}

// A DLL found missing stays missing for the process, even once it is
// there again.
TEST_F(MissingLibraryTest, ALibraryFoundMissingStaysMissing) {
  EXPECT_EXIT(
      {
        winsimSetLibraryPresent("version.dll", FALSE);
        load("[Options]\nUseXMOUSE=1\n");
        winsimSetLibraryPresent("version.dll", TRUE);
        releaseConfiguration();
        report(load("[Options]\nUseXMOUSE=1\n"));
        exit(0);
      },
      ::testing::ExitedWithCode(0), "loaded=1 mode=1 mask=0 version=0 shell32=1");
}

// A DLL found is loaded once, however often the loader runs.
TEST_F(MissingLibraryTest, ALibraryFoundIsLoadedOnce) {
  EXPECT_EXIT(
      {
        for (int round = 0; round < 3; ++round) {
          releaseConfiguration();
          load("[Options]\nUseXMOUSE=1\n");
        }
        report(1);
        exit(0);
      },
      ::testing::ExitedWithCode(0), "mode=2 mask=0 version=1 shell32=1");
}

}  // namespace
}  // namespace vorntest
