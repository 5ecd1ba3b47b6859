// Which hooks a start of vornd installs, and which configuration it
// compiles.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/image_layout.h"
#include "configuration_files.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "test_windows.h"
#include "window_state.h"

namespace e2e {
namespace {

class HookInstallation : public Scenario {};

// Middle clicks on captions and in client areas, decided by whether the
// window is in front: the foreground test needs the call-window-return
// hook to know which window was activated last.
std::string foregroundConfiguration(int useActivationHook) {
  return "[Options]\n"
         "UseWH_CALLWNDPROC=" +
         std::to_string(useActivationHook) +
         "\n"
         "[List1]\n"
         "Hook1=NCMBUTTONUP\n"
         "Hook2=MBUTTONUP\n"
         "1.Match=Caption.Foreground\n"
         "1.Action=NoAction\n"
         "2.Match=Client\n"
         "2.Action=NoAction\n"
         "[Match.Caption]\n"
         "nPattern=1\n"
         "1.NCHitTest=CAPTION\n"
         "[Match.Client]\n"
         "nPattern=1\n"
         "1.NCHitTest=CLIENT\n";
}

TEST_F(HookInstallation, StartCompilesTheConfigurationAndInstallsTheHooks) {
  ASSERT_TRUE(writeConfiguration(foregroundConfiguration(1).c_str()));
  ASSERT_TRUE(startDaemon());

  EXPECT_NE(nullptr, findControlWindow());
  EXPECT_TRUE(DaemonProcesses::isRunning(daemon));
  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_NCMBUTTONUP));
  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_MBUTTONUP));
  EXPECT_EQ(NO_OFFSET, imageHeaderField(HEADER_SLOT_LBUTTONDOWN));
}

// Without the call-window-return hook nothing records which window was
// activated last, so a window activated then does not count as the one in
// front. The first daemon, with the hook, records `second` as activated;
// the second daemon, without it, must leave that record alone while
// `first` is activated.
TEST_F(HookInstallation, WithoutTheActivationHookActivationsAreNotRecorded) {
  ASSERT_TRUE(writeConfiguration(foregroundConfiguration(1).c_str()));
  ASSERT_TRUE(startDaemon());
  HWND first = openWindow("first", 100, 100);
  HWND second = openWindow("second", 220, 180);
  ASSERT_TRUE(desktopIs({second, first}, second)) << desktop();
  ASSERT_TRUE(click(second, HTCAPTION, MIDDLE_BUTTON));
  ASSERT_EQ("none", buttonMessagesReceived(second))
      << receivedTrace() << "; "
      << "with the activation hook the front window's caption click is swallowed";
  ASSERT_TRUE(stopDaemon());

  ASSERT_TRUE(writeConfiguration(foregroundConfiguration(0).c_str()));
  ASSERT_TRUE(startDaemon());
  ASSERT_TRUE(activate(first));
  ASSERT_TRUE(desktopIs({first, second}, first)) << desktop();
  forgetReceivedMessages();

  ASSERT_TRUE(click(first, HTCLIENT, MIDDLE_BUTTON));
  EXPECT_EQ("none", buttonMessagesReceived(first))
      << receivedTrace() << "; the client click is not swallowed: the mouse hook is not working";
  ASSERT_TRUE(click(first, HTCAPTION, MIDDLE_BUTTON));
  EXPECT_EQ("WM_NCMBUTTONDOWN, WM_NCMBUTTONUP", buttonMessagesReceived(first))
      << receivedTrace() << "; "
      << "the activation of 'first' was recorded: the activation hook is installed";
}

TEST_F(HookInstallation, ConfigurationInTheWindowsDirectoryComesFirst) {
  ASSERT_TRUE(writeTextFile(windowsConfigurationPath(), "[List1]\nHook1=NCLBUTTONDBLCLK\n"));
  ASSERT_TRUE(writeConfiguration("[List1]\nHook1=RBUTTONDOWN\n"));
  ASSERT_TRUE(startDaemon());

  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_NCLBUTTONDBLCLK));
  EXPECT_EQ(NO_OFFSET, imageHeaderField(HEADER_SLOT_RBUTTONDOWN));
}

}  // namespace
}  // namespace e2e
