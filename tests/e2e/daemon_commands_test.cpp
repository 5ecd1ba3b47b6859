// The daemon's command line: a start, a second start that reloads, --stop,
// and everything else.
#include <gtest/gtest.h>
#include <windows.h>

#include "config/image_layout.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "test_windows.h"
#include "window_state.h"

namespace e2e {
namespace {

class DaemonCommands : public Scenario {};

const char *const CAPTION_CLICKS_SWALLOWED =
    "[List1]\n"
    "Hook1=NCMBUTTONUP\n"
    "1.Match=Caption\n"
    "1.Action=NoAction\n"
    "[Match.Caption]\n"
    "nPattern=1\n"
    "1.NCHitTest=CAPTION\n";

const char *const CLIENT_CLICKS_SWALLOWED =
    "[List1]\n"
    "Hook1=MBUTTONUP\n"
    "1.Match=Client\n"
    "1.Action=NoAction\n"
    "[Match.Client]\n"
    "nPattern=1\n"
    "1.NCHitTest=CLIENT\n";

TEST_F(DaemonCommands, SecondStartReloadsTheChangedConfiguration) {
  ASSERT_TRUE(writeConfiguration(CAPTION_CLICKS_SWALLOWED));
  ASSERT_TRUE(startDaemon());
  HWND control = findControlWindow();
  ASSERT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_NCMBUTTONUP));
  ASSERT_TRUE(writeConfiguration(CLIENT_CLICKS_SWALLOWED));
  int announcements = announcementsHeard();

  EXPECT_TRUE(runDaemonCommand(""));

  EXPECT_TRUE(waitForAnnouncement(announcements)) << "no reload was announced";
  EXPECT_TRUE(DaemonProcesses::isRunning(daemon));
  EXPECT_EQ(control, findControlWindow());
  EXPECT_EQ(1, isHooking());
  EXPECT_EQ(NO_OFFSET, imageHeaderField(HEADER_SLOT_NCMBUTTONUP));
  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_MBUTTONUP));
}

// This process keeps the view of the image that it mapped before the
// reload; the reloaded configuration must reach it all the same.
TEST_F(DaemonCommands, ReloadChangesWhatTheNextClickDoes) {
  ASSERT_TRUE(writeConfiguration(CAPTION_CLICKS_SWALLOWED));
  ASSERT_TRUE(startDaemon());
  HWND window = openWindow("window", 150, 120);
  forgetReceivedMessages();
  ASSERT_TRUE(click(window, HTCAPTION, MIDDLE_BUTTON));
  ASSERT_TRUE(click(window, HTCLIENT, MIDDLE_BUTTON));
  ASSERT_EQ("WM_MBUTTONDOWN, WM_MBUTTONUP", buttonMessagesReceived(window)) << receivedTrace();

  ASSERT_TRUE(writeConfiguration(CLIENT_CLICKS_SWALLOWED));
  int announcements = announcementsHeard();
  ASSERT_TRUE(runDaemonCommand(""));
  ASSERT_TRUE(waitForAnnouncement(announcements)) << "no reload was announced";
  forgetReceivedMessages();
  ASSERT_TRUE(click(window, HTCAPTION, MIDDLE_BUTTON));
  ASSERT_TRUE(click(window, HTCLIENT, MIDDLE_BUTTON));

  EXPECT_EQ("WM_NCMBUTTONDOWN, WM_NCMBUTTONUP", buttonMessagesReceived(window)) << receivedTrace();
}

TEST_F(DaemonCommands, StopRemovesTheHooksAndEndsTheRunningInstance) {
  ASSERT_TRUE(startDaemon());
  ASSERT_EQ(1, isHooking());
  int announcements = announcementsHeard();

  EXPECT_TRUE(stopDaemon());

  EXPECT_EQ(nullptr, findControlWindow());
  EXPECT_EQ(0, isHooking());
  EXPECT_GT(announcementsHeard(), announcements) << "the removal was not announced";
}

TEST_F(DaemonCommands, StopWithNoneRunningStartsNothing) {
  int announcements = announcementsHeard();

  EXPECT_TRUE(runDaemonCommand("--stop"));

  pumpPending();
  EXPECT_EQ(nullptr, findControlWindow());
  EXPECT_EQ(announcements, announcementsHeard());
}

// Only exactly "--stop" stops: any other command line is a start, or a
// reload when an instance runs.
TEST_F(DaemonCommands, AnyOtherCommandLineStartsOrReloads) {
  ASSERT_TRUE(startDaemon("anything"));
  EXPECT_NE(nullptr, findControlWindow());
  EXPECT_EQ(1, isHooking());
  int announcements = announcementsHeard();

  EXPECT_TRUE(runDaemonCommand("--stop extra"));

  EXPECT_TRUE(waitForAnnouncement(announcements)) << "no reload was announced";
  EXPECT_TRUE(DaemonProcesses::isRunning(daemon));
  EXPECT_EQ(1, isHooking());
}

}  // namespace
}  // namespace e2e
