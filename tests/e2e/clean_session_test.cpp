// A start of vornd that finds no vorn.ini, in a Wine session in which no
// daemon has run yet. CTest runs this scenario on its own, before all the
// others: Wine never unloads vorn.dll from a process that it loaded it into
// for the hooks (explorer.exe among them), not even after the hooks are
// removed, and such a process keeps the configuration image of the daemon
// that was running then. Every later attach, here or in the daemon, maps
// that image instead of finding none, and its rules apply.
#include <gtest/gtest.h>
#include <windows.h>

#include "config/loader.h"
#include "configuration_files.h"
#include "hook_library.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "test_windows.h"
#include "window_state.h"

namespace e2e {
namespace {

class CleanSession : public Scenario {};

TEST_F(CleanSession, WithNoConfigurationAnywhereHooksAreInstalledAndEveryClickPasses) {
  HANDLE earlierImage = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  if (earlierImage) CloseHandle(earlierImage);
  ASSERT_EQ(nullptr, earlierImage)
      << "an earlier daemon's configuration image is still held; run this scenario on its own in "
         "a Wine session in which no vornd has run, as CTest does";

  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 220, 180);
  ASSERT_TRUE(desktopIs({front, back}, front)) << desktop();

  ASSERT_TRUE(click(back, HTCAPTION, MIDDLE_BUTTON));
  EXPECT_EQ("WM_NCMBUTTONDOWN, WM_NCMBUTTONUP", buttonMessagesReceived(back)) << receivedTrace();
  bool activatedByThePress = pumpUntil([&] { return desktopIs({back, front}, back); });
  EXPECT_TRUE(activatedByThePress) << "not activated by the press; " << desktop();
  ASSERT_TRUE(click(front, HTCLIENT, LEFT_BUTTON));
  EXPECT_EQ("WM_LBUTTONDOWN, WM_LBUTTONUP", buttonMessagesReceived(front)) << receivedTrace();

  EXPECT_TRUE(hookLibraryPresent()) << "the hooks never ran in this process";
  EXPECT_FALSE(fileExists(stagedConfigurationPath(stageDirectory)))
      << "vornd wrote a vorn.ini although it found none";
}

}  // namespace
}  // namespace e2e
