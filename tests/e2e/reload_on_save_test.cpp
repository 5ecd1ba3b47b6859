// Living with a running vornd: an edited vorn.ini applies by itself, once
// per save, and vornd --pause lets clicks through until vornd --resume.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/image_layout.h"
#include "configuration_files.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "program_run.h"
#include "scenario.h"
#include "test_windows.h"

namespace e2e {
namespace {

const DWORD APPLIES_WITHIN_MS = 2000;
// Long enough for a second reload of the same save to have been announced.
const DWORD NO_SECOND_RELOAD_MS = 1500;
const DWORD VORNCHECK_TIMEOUT_MS = 20000;

const char *const CAPTION_CLICKS_SWALLOWED =
    "[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=NoAction\n"
    "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n";
const char *const CLIENT_CLICKS_SWALLOWED =
    "[List1]\nHook1=MBUTTONUP\n1.Match=Client\n1.Action=NoAction\n"
    "[Match.Client]\nnPattern=1\n1.NCHitTest=CLIENT\n";

class ReloadOnSave : public Scenario {
 protected:
  // Waits for one reload and then for a while longer: true when exactly one
  // was announced since `before`.
  bool reloadedOnce(int before) {
    if (!waitForAnnouncement(before, APPLIES_WITHIN_MS)) {
      ADD_FAILURE() << "no reload within " << APPLIES_WITHIN_MS << " ms of the save";
      return false;
    }
    pumpUntil([&] { return announcementsHeard() > before + 1; }, NO_SECOND_RELOAD_MS);
    return announcementsHeard() == before + 1;
  }

  std::string middleClicks(HWND window) {
    forgetReceivedMessages();
    EXPECT_TRUE(click(window, HTCAPTION, MIDDLE_BUTTON));
    EXPECT_TRUE(click(window, HTCLIENT, MIDDLE_BUTTON));
    return buttonMessagesReceived(window);
  }

  ProgramRun status() {
    ProgramRun run = runProgram(stageDirectory, "vorncheck.exe", "--status", VORNCHECK_TIMEOUT_MS);
    EXPECT_TRUE(run.ended) << "vorncheck --status did not end";
    return run;
  }

  static bool says(const ProgramRun &run, const char *words) {
    return run.output.find(words) != std::string::npos;
  }
};

TEST_F(ReloadOnSave, AnEditAppliesWithinTwoSecondsOncePerSave) {
  ASSERT_TRUE(writeConfiguration(CAPTION_CLICKS_SWALLOWED));
  ASSERT_TRUE(startDaemon());
  HWND window = openWindow("window", 150, 120);
  ASSERT_EQ("WM_MBUTTONDOWN, WM_MBUTTONUP", middleClicks(window)) << receivedTrace();

  int before = announcementsHeard();
  DWORD saved = GetTickCount();
  ASSERT_TRUE(writeConfiguration(CLIENT_CLICKS_SWALLOWED));
  ASSERT_TRUE(waitForAnnouncement(before, APPLIES_WITHIN_MS)) << "no reload within 2 s";
  RecordProperty("save_to_reload_ms", (int)(GetTickCount() - saved));
  EXPECT_TRUE(reloadedOnce(before)) << announcementsHeard() - before << " reloads";
  EXPECT_EQ(NO_OFFSET, imageHeaderField(HEADER_SLOT_NCMBUTTONUP));
  EXPECT_EQ("WM_NCMBUTTONDOWN, WM_NCMBUTTONUP", middleClicks(window)) << receivedTrace();

  // A save as editors make it: the new text into a file beside, the old
  // file removed, the new one renamed into its place.
  std::string path = stagedConfigurationPath(stageDirectory);
  std::string replacement = path + ".new";
  before = announcementsHeard();
  ASSERT_TRUE(writeTextFile(replacement, CAPTION_CLICKS_SWALLOWED));
  ASSERT_TRUE(DeleteFileA(path.c_str()));
  ASSERT_TRUE(MoveFileA(replacement.c_str(), path.c_str()));
  EXPECT_TRUE(reloadedOnce(before)) << announcementsHeard() - before << " reloads";
  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_NCMBUTTONUP));
  EXPECT_EQ("WM_MBUTTONDOWN, WM_MBUTTONUP", middleClicks(window)) << receivedTrace();
}

TEST_F(ReloadOnSave, PauseLetsTheClickThroughAndResumeHandlesItAgain) {
  ASSERT_TRUE(writeConfiguration(CAPTION_CLICKS_SWALLOWED));
  ASSERT_TRUE(startDaemon());
  HWND window = openWindow("window", 150, 120);
  ASSERT_EQ("WM_MBUTTONDOWN, WM_MBUTTONUP", middleClicks(window)) << receivedTrace();

  int before = announcementsHeard();
  ASSERT_TRUE(runDaemonCommand("--pause"));
  ASSERT_TRUE(waitForAnnouncement(before)) << "the pause was not announced";
  EXPECT_EQ("WM_NCMBUTTONDOWN, WM_NCMBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP", middleClicks(window))
      << receivedTrace();
  ProgramRun run = status();
  EXPECT_EQ(1u, run.exitCode) << run.output;
  EXPECT_TRUE(says(run, " paused\n")) << run.output;

  before = announcementsHeard();
  ASSERT_TRUE(runDaemonCommand("--resume"));
  ASSERT_TRUE(waitForAnnouncement(before)) << "the resume was not announced";
  EXPECT_EQ("WM_MBUTTONDOWN, WM_MBUTTONUP", middleClicks(window)) << receivedTrace();
  run = status();
  EXPECT_EQ(0u, run.exitCode) << run.output;
  EXPECT_TRUE(says(run, " current\n")) << run.output;
}

}  // namespace
}  // namespace e2e
