// The library's life in a process and the control exports, against winsim's
// hook records. Host only: whether hooks are installed, and making their
// installation or removal fail, can only be seen and arranged in winsim.
#include "unit/loader_fixture.h"

#include "config/image_publish.h"
#include "config/loader_state.h"
#include "hooks/hook_state.h"
#include "lifecycle.h"
#include "vorn.h"
#include "windows/last_activated_window.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

class LifecycleTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    winsimResetDesktop();
    winsimResetKernel();
  }

  void TearDown() override {
    winsimFailUnhookWindowsHook(FALSE);
    MyEndHook();
    LoaderTest::TearDown();
    winsimResetDesktop();
    winsimResetKernel();
  }

  void writeIni(const std::string &text) {
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(), text));
  }

  static int hooks(int kind) { return winsimInstalledHookCount(kind); }
};

TEST_F(LifecycleTest, SetHookLoadsAndInstallsThreeHooks) {
  writeIni("[List1]\nHook1=LBUTTONUP\n");
  EXPECT_EQ(1, MySetHook());
  EXPECT_EQ(1, hooks(WH_MOUSE));
  EXPECT_EQ(1, hooks(WH_GETMESSAGE));
  EXPECT_EQ(1, hooks(WH_CALLWNDPROCRET));
  EXPECT_NE(nullptr, imageHeader);
  EXPECT_EQ(1, IsHooking());
}

TEST_F(LifecycleTest, SecondSetHookInstallsNothingTwiceButLoadsAgain) {
  writeIni("[List1]\nHook1=LBUTTONUP\n");
  ASSERT_EQ(1, MySetHook());
  HHOOK mouse = mouseHook;
  writeIni("[List1]\nHook1=RBUTTONDOWN\n");
  EXPECT_EQ(1, MySetHook());
  EXPECT_EQ(mouse, mouseHook);
  EXPECT_EQ(1, hooks(WH_MOUSE));
  EXPECT_EQ(1, hooks(WH_GETMESSAGE));
  EXPECT_EQ(-1, image().header(HEADER_SLOT_LBUTTONUP));
  EXPECT_EQ(60, image().header(HEADER_SLOT_RBUTTONDOWN));
}

TEST_F(LifecycleTest, WithoutTheActivationOptionTwoHooksAreInstalled) {
  writeIni("[Options]\nUseWH_CALLWNDPROC=0\n");
  EXPECT_EQ(1, MySetHook());
  EXPECT_EQ(0, hooks(WH_CALLWNDPROCRET));
  EXPECT_EQ(1, hooks(WH_MOUSE));
  EXPECT_EQ(1, hooks(WH_GETMESSAGE));
}

TEST_F(LifecycleTest, ReloadFollowsTheActivationOptionBothWays) {
  writeIni("[Options]\nUseWH_CALLWNDPROC=1\n");
  MySetHook();
  writeIni("[Options]\nUseWH_CALLWNDPROC=0\n");
  MyEndHook();
  MySetHook();
  EXPECT_EQ(0, hooks(WH_CALLWNDPROCRET));
  EXPECT_EQ(1, hooks(WH_MOUSE));
  writeIni("[Options]\nUseWH_CALLWNDPROC=1\n");
  MyEndHook();
  MySetHook();
  EXPECT_EQ(1, hooks(WH_CALLWNDPROCRET));
}

TEST_F(LifecycleTest, HooksAreInstalledWithoutAnyConfiguration) {
  EXPECT_EQ(1, MySetHook());
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_EQ(1, hooks(WH_MOUSE));
}

TEST_F(LifecycleTest, EndHookRemovesEverythingAndReleasesTheImage) {
  writeIni("[List1]\n");
  MySetHook();
  EXPECT_EQ(0, MyEndHook());
  EXPECT_EQ(0, hooks(WH_MOUSE) + hooks(WH_GETMESSAGE) + hooks(WH_CALLWNDPROCRET));
  EXPECT_EQ(nullptr, mouseHook);
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_EQ((HANDLE)NULL, mappingHandle);
  EXPECT_EQ(0, IsHooking());
}

TEST_F(LifecycleTest, EndHookWithNothingInstalledStillReleases) {
  writeIni("[List1]\n");
  ASSERT_EQ(1, loadConfiguration());
  EXPECT_EQ(0, MyEndHook());
  EXPECT_EQ(nullptr, imageHeader);
}

// A hook that cannot be removed stays recorded: IsHooking keeps saying so,
// a later MySetHook does not install it again, a later MyEndHook retries.
TEST_F(LifecycleTest, FailedRemovalIsKeptAndRetried) {
  writeIni("[List1]\n");
  MySetHook();
  winsimFailUnhookWindowsHook(TRUE);
  EXPECT_EQ(1, MyEndHook());
  EXPECT_EQ(nullptr, imageHeader);  // the configuration is released all the same
  EXPECT_EQ(1, IsHooking());
  EXPECT_NE(nullptr, mouseHook);
  MySetHook();
  EXPECT_EQ(1, hooks(WH_MOUSE));
  winsimFailUnhookWindowsHook(FALSE);
  EXPECT_EQ(0, MyEndHook());
  EXPECT_EQ(0, hooks(WH_MOUSE) + hooks(WH_GETMESSAGE) + hooks(WH_CALLWNDPROCRET));
}

TEST_F(LifecycleTest, FailedInstallationLeavesTheHandleEmpty) {
  winsimFailSetWindowsHook(TRUE);
  EXPECT_EQ(0, MySetHook());
  EXPECT_EQ(nullptr, mouseHook);
  EXPECT_EQ(0, IsHooking());
  winsimFailSetWindowsHook(FALSE);
  EXPECT_EQ(1, MySetHook());
}

// The gesture state and the last activated window belong to the desktop,
// not to one load: a reload leaves them as they were.
TEST_F(LifecycleTest, SharedStateSurvivesAReload) {
  writeIni("[List1]\n");
  MySetHook();
  middleState = MIDDLE_PRESSED;
  lbuttonUpArmed = 1;
  lastPoint = POINT{12, 34};
  lastActivatedWindow = (HWND)0x1234;
  MyEndHook();
  MySetHook();
  EXPECT_EQ(MIDDLE_PRESSED, middleState);
  EXPECT_EQ(1, lbuttonUpArmed);
  EXPECT_EQ(34, lastPoint.y);
  EXPECT_EQ((HWND)0x1234, lastActivatedWindow);
  middleState = MIDDLE_IDLE;
  lbuttonUpArmed = 0;
  lastActivatedWindow = NULL;
}

// A daemon that was killed removes nothing: its hooks (under Wine) and the
// section the hooked programs hold stay. The next daemon, a process whose
// own handles are unset, finds the old hooks in the section's trailer and
// removes them before installing its own, so that no message passes the
// same procedure twice.
class EarlierDaemonTest : public LifecycleTest {
 protected:
  // What a killed daemon leaves behind: the hooks, and its section, held
  // by a hooked program; nothing of its own memory.
  void killDaemon() {
    heldSection = OpenFileMappingA(FILE_MAP_READ, FALSE, publishedSectionName);
    ASSERT_NE(nullptr, heldSection);
    hooksInstalledHere = 0;
    mouseHook = getMessageHook = callWndProcRetHook = NULL;
    releaseConfiguration();
  }

  void TearDown() override {
    if (heldSection) CloseHandle(heldSection);
    LifecycleTest::TearDown();
  }

  HANDLE heldSection = NULL;
};

TEST_F(EarlierDaemonTest, HooksOfAKilledDaemonAreReplaced) {
  writeIni("[List1]\n");
  ASSERT_EQ(1, MySetHook());
  for (int start = 2; start <= 3; ++start) {
    HHOOK killed = mouseHook;
    killDaemon();
    EXPECT_EQ(1, MySetHook());
    EXPECT_NE(killed, mouseHook);
    EXPECT_EQ(1, hooks(WH_MOUSE)) << "start " << start;
    EXPECT_EQ(1, hooks(WH_GETMESSAGE)) << "start " << start;
    EXPECT_EQ(1, hooks(WH_CALLWNDPROCRET)) << "start " << start;
    CloseHandle(heldSection);
    heldSection = NULL;
  }
}

// ---- the entry point ---------------------------------------------------------------------

TEST_F(LifecycleTest, WheelMessageIsRegisteredOnlyOnTheOldestSystems) {
  const struct {
    DWORD version;
    bool registers;
  } systems[] = {
      {0x80000004u, true},   // Windows 95 (4.0)
      {0x80000A04u, false},  // Windows 98 (4.10)
      {0x00000003u, true},   // NT 3.0
      {0x00003303u, false},  // NT 3.51
      {0x00000004u, false},  // NT 4.0
      {0x0A280105u, false},  // XP
  };
  for (const auto &system : systems) {
    winsimSetVersion(system.version);
    wheelMessage = 0;
    EXPECT_EQ(TRUE, DllEntryPoint(NULL, DLL_PROCESS_ATTACH, NULL));
    EXPECT_EQ(system.registers, wheelMessage != 0) << std::hex << system.version;
    DllEntryPoint(NULL, DLL_PROCESS_DETACH, NULL);
  }
  wheelMessage = 0;
}

TEST_F(LifecycleTest, AttachMapsTheImageReadOnlyAndDetachLetsItGo) {
  writeIni("[List1]\nHook1=LBUTTONUP\n");
  ASSERT_EQ(1, loadConfiguration());
  HANDLE daemonSection = mappingHandle;
  unsigned char *daemonView = imageBase;
  // Another process's attach, in this one: forget the daemon's view first.
  mappingHandle = NULL;
  imageBase = NULL;
  imageHeader = NULL;
  int viewsBefore = winsimViewCount();
  EXPECT_EQ(TRUE, DllEntryPoint((HINSTANCE)0x77, DLL_PROCESS_ATTACH, NULL));
  EXPECT_EQ((HINSTANCE)0x77, moduleHandle);
  ASSERT_NE(nullptr, imageHeader);
  EXPECT_EQ(60, readImageInt(imageHeader, HEADER_SLOT_LBUTTONUP));
  EXPECT_EQ(viewsBefore + 1, winsimViewCount());
  EXPECT_EQ(TRUE, DllEntryPoint((HINSTANCE)0x77, DLL_PROCESS_DETACH, NULL));
  EXPECT_EQ(viewsBefore, winsimViewCount());
  EXPECT_EQ(nullptr, imageHeader);
  // Detach a second time (nothing held) releases nothing more.
  EXPECT_EQ(TRUE, DllEntryPoint((HINSTANCE)0x77, DLL_PROCESS_DETACH, NULL));
  EXPECT_EQ(viewsBefore, winsimViewCount());
  mappingHandle = daemonSection;
  imageBase = daemonView;
  imageHeader = daemonView;
}

TEST_F(LifecycleTest, ThreadAttachAndDetachOnlyRefreshTheModuleHandle) {
  writeIni("[List1]\n");
  ASSERT_EQ(1, loadConfiguration());
  const unsigned char *held = imageHeader;
  EXPECT_EQ(TRUE, DllEntryPoint((HINSTANCE)0x55, DLL_THREAD_ATTACH, NULL));
  EXPECT_EQ(TRUE, DllEntryPoint((HINSTANCE)0x56, DLL_THREAD_DETACH, NULL));
  EXPECT_EQ((HINSTANCE)0x56, moduleHandle);
  EXPECT_EQ(held, imageHeader);
}

// ---- the loader's failures -------------------------------------------------------------------

TEST_F(LifecycleTest, SectionThatCannotBeCreatedIsReportedInTheFile) {
  writeIni("[List1]\nHook1=LBUTTONUP\n");
  winsimFailNextCreateFileMapping(ERROR_NOT_ENOUGH_MEMORY);
  useCallWndProcRetHook = 5;
  EXPECT_EQ(0, loadConfiguration());
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_EQ(1, useCallWndProcRetHook);  // the options stay as read
  char status[64];
  GetPrivateProfileStringA("Status", "Error", "", status, sizeof status,
                           programDirectoryIni().c_str());
  EXPECT_STREQ("fail to FileMapping", status);
  // A later successful load leaves the entry where it is.
  ASSERT_EQ(1, loadConfiguration());
  GetPrivateProfileStringA("Status", "Error", "", status, sizeof status,
                           programDirectoryIni().c_str());
  EXPECT_STREQ("fail to FileMapping", status);
}

TEST_F(LifecycleTest, ViewThatCannotBeMappedKeepsTheSectionHandleUntilRelease) {
  writeIni("[List1]\n");
  winsimFailNextMapViewOfFile(ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(0, loadConfiguration());
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_NE((HANDLE)NULL, mappingHandle);
  releaseConfiguration();
  EXPECT_EQ((HANDLE)NULL, mappingHandle);
  EXPECT_EQ(0, winsimSectionCount());
}

// ---- the shell's version
// -------------------------------------------------------------------------

TEST_F(LifecycleTest, ShellVersionDecidesBetweenTheTwoXmouseModes) {
  const struct {
    WinsimShell32 presence;
    DWORD version;
    int mode;
  } shells[] = {
      {WINSIM_SHELL32_VERSIONED, 0x00040000u, 1},  // 4.0
      {WINSIM_SHELL32_VERSIONED, 0x00040047u, 2},  // 4.71
      {WINSIM_SHELL32_VERSIONED, 0x00050000u, 2},  // 5.0
      {WINSIM_SHELL32_VERSIONED, 0x00030033u, 1},  // 3.51
      {WINSIM_SHELL32_UNVERSIONED, 0, 1},         {WINSIM_SHELL32_MISSING, 0, 1},
  };
  writeIni("[Options]\nUseXMOUSE=1\n");
  for (const auto &shell : shells) {
    winsimSetShell32(shell.presence, shell.version);
    ASSERT_EQ(1, loadConfiguration());
    EXPECT_EQ(shell.mode, xmouseMode) << std::hex << shell.version << " " << shell.presence;
    releaseConfiguration();
  }
}

}  // namespace
}  // namespace vorntest
