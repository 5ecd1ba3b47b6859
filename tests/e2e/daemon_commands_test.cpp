// The daemon's command line: a start, a second start that reloads, --stop,
// and everything else.
#include <gtest/gtest.h>
#include <windows.h>

#include "config/image_layout.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "test_windows.h"
#include "vorn_names.h"
#include "window_state.h"

namespace e2e {
namespace {

class DaemonCommands : public Scenario {};

// These scenarios reload by second starts: the daemon does not watch the
// file (reloads on save are reload_on_save_test.cpp's).
const char *const CAPTION_CLICKS_SWALLOWED =
    "[Options]\n"
    "ReloadOnChange=0\n"
    "[List1]\n"
    "Hook1=NCMBUTTONUP\n"
    "1.Match=Caption\n"
    "1.Action=NoAction\n"
    "[Match.Caption]\n"
    "nPattern=1\n"
    "1.NCHitTest=CAPTION\n";

const char *const CLIENT_CLICKS_SWALLOWED =
    "[Options]\n"
    "ReloadOnChange=0\n"
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
  int announcements = announcementsHeard();

  EXPECT_TRUE(stopDaemon());

  EXPECT_EQ(nullptr, findControlWindow());
  EXPECT_GT(announcementsHeard(), announcements) << "the removal was not announced";
}

// What the stand-in for the other pair's daemon received.
int otherPairCommands = 0;
int otherPairCloses = 0;

LRESULT CALLBACK otherPairProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) ++otherPairCommands;
  if (message == WM_CLOSE) {
    ++otherPairCloses;
    return 0;  // a daemon that fails to unhook stays: the test's window stays too
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Both pairs run side by side on 64-bit Windows: this pair's starts,
// reloads and stops never signal the other pair's control window (here a
// window of this test standing in for it) and never write the other pair's
// section.
TEST_F(DaemonCommands, TheOtherPairsWindowAndSectionAreLeftAlone) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = otherPairProcedure;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = VORN_OTHER_CONTROL_CLASS;
  ASSERT_NE(0, RegisterClassA(&windowClass));
  HWND other = CreateWindowExA(0, VORN_OTHER_CONTROL_CLASS, VORN_OTHER_CONTROL_TITLE, WS_POPUP, 0,
                               0, 0, 0, NULL, NULL, windowClass.hInstance, NULL);
  ASSERT_NE(nullptr, other);
  const DWORD sectionSize = 4096;
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sectionSize,
                                      VORN_OTHER_SECTION_NAME);
  ASSERT_NE(nullptr, section);
  unsigned char *bytes = (unsigned char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_NE(nullptr, bytes);
  for (DWORD i = 0; i < sectionSize; ++i) bytes[i] = (unsigned char)(0xA5 ^ i);
  otherPairCommands = 0;
  otherPairCloses = 0;

  ASSERT_TRUE(writeConfiguration(CAPTION_CLICKS_SWALLOWED));
  ASSERT_TRUE(startDaemon());
  EXPECT_NE(other, findControlWindow());
  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_NCMBUTTONUP)) << "its own section";
  int announcements = announcementsHeard();
  EXPECT_TRUE(runDaemonCommand(""));
  EXPECT_TRUE(waitForAnnouncement(announcements)) << "no reload was announced";
  EXPECT_TRUE(stopDaemon());
  EXPECT_TRUE(runDaemonCommand("--stop"));  // with none of this pair running
  pumpPending();

  EXPECT_EQ(0, otherPairCommands);
  EXPECT_EQ(0, otherPairCloses);
  EXPECT_TRUE(IsWindow(other));
  DWORD changed = 0;
  for (DWORD i = 0; i < sectionSize; ++i) changed += bytes[i] != (unsigned char)(0xA5 ^ i);
  EXPECT_EQ(0u, changed) << "bytes of " VORN_OTHER_SECTION_NAME " were written";
  UnmapViewOfFile(bytes);
  CloseHandle(section);
  DestroyWindow(other);
  UnregisterClassA(VORN_OTHER_CONTROL_CLASS, windowClass.hInstance);
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
  int announcements = announcementsHeard();

  EXPECT_TRUE(runDaemonCommand("--stop extra"));

  EXPECT_TRUE(waitForAnnouncement(announcements)) << "no reload was announced";
  EXPECT_TRUE(DaemonProcesses::isRunning(daemon));
}

}  // namespace
}  // namespace e2e
