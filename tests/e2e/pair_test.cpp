// Both pairs on one desktop of 64-bit Windows, as a user has them: only
// vornd.exe is ever started, and it brings up vornd64.exe beside it. A
// 32-bit program (this one) and a 64-bit one (the win64 build's window
// host) each own a window. Every click reaches the hooks of both pairs:
// Windows runs the other bitness's hook in that daemon's own process, as a
// marshalled call, which vorn passes on (or handles there, for a program
// of the daemon's own bitness whose call came through the other daemon:
// the host tests pin both). So each click is handled once, by the library
// of its program's bitness.
//
// Wine (8.0, the guest's) marshals no such hook: where a program cannot
// load the library of the hook at the head of the chain, the chain ends
// there and the message passes on. So under Wine only the programs of the
// bitness whose daemon installed its hooks last get their clicks handled
// (vornd64.exe at the start, vornd.exe after a reload, which installs
// again). The scenario therefore asks of each click that it is handled at
// most once, and handled where it is handled at all, and of each round
// that one of the two programs had its click handled.
//
// The rules toggle the maximised state: vorn posts SC_MAXIMIZE or
// SC_RESTORE from inside its hook, deciding by the state the window has
// then, so a click handled twice shows as two SC_MAXIMIZE in the window's
// count (and not in its final state).
//
// Only the win32 build has this scenario, and it needs a 64-bit prefix,
// in which 32-bit and 64-bit programs run side by side (the test guest's
// second session, scripts/vm/jobs/i686-tests).
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "config/image_layout.h"
#include "configuration_files.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "pair_stage.h"
#include "process_modules.h"
#include "program_run.h"
#include "scenario.h"
#include "soak_process.h"
#include "soak_report.h"
#include "test_windows.h"
#include "vorn_names.h"
#include "window_class.h"

namespace e2e {
namespace {

const DWORD DAEMON_TIMEOUT_MS = 10000;
// A posted system command is carried out within a second here.
const DWORD ZOOM_TIMEOUT_MS = 2000;
const int WINDOW_WIDTH = 320;
const int WINDOW_HEIGHT = 220;

// The reload below is a second start's: the daemons do not watch these
// files.
const char *const TOGGLE_ON_CAPTION_DOUBLE_CLICKS =
    "[Options]\n"
    "ReloadOnChange=0\n"
    "[List1]\n"
    "Hook1=NCLBUTTONDBLCLK\n"
    "1.Match=Caption\n"
    "1.Action=ToggleMaximize\n"
    "[Match.Caption]\n"
    "nPattern=1\n"
    "1.NCHitTest=CAPTION\n";

const char *const TOGGLE_ON_CAPTION_MIDDLE_CLICKS =
    "[Options]\n"
    "ReloadOnChange=0\n"
    "[List1]\n"
    "Hook1=NCMBUTTONUP\n"
    "1.Match=Caption\n"
    "1.Action=ToggleMaximize\n"
    "[Match.Caption]\n"
    "nPattern=1\n"
    "1.NCHitTest=CAPTION\n";

HWND findSixtyFourBitControlWindow() {
  return FindWindowA(VORN_COMPANION_CONTROL_CLASS, VORN_COMPANION_CONTROL_TITLE);
}

// The configuration image in section `name`, as many bytes as its view
// holds, with the option values behind it; not the trailer's generation
// and hook handles, which each daemon keeps for itself. "" when there is
// none.
std::string sectionBytes(const char *name) {
  HANDLE section = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
  if (!section) return "";
  const char *image = (const char *)MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
  std::string bytes;
  MEMORY_BASIC_INFORMATION region;
  if (image && VirtualQuery(image, &region, sizeof region) == sizeof region &&
      region.RegionSize > IMAGE_TRAILER_SIZE) {
    const char *trailer = image + region.RegionSize - IMAGE_TRAILER_SIZE;
    bytes.assign(image, trailer);
    bytes.append(trailer + TRAILER_MBUTTONUP_MOVE_PROTECT,
                 TRAILER_MOUSE_HOOK - TRAILER_MBUTTONUP_MOVE_PROTECT);
  }
  if (image) UnmapViewOfFile(image);
  CloseHandle(section);
  return bytes;
}

class BothPairs : public Scenario {
 protected:
  BothPairs() : Scenario(pairStageDirectory()), host("64-bit host") {}

  void SetUp() override {
    ASSERT_EQ("", stageSixtyFourBitFiles()) << "the 64-bit pair is not staged";
    Scenario::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(nullptr, findSixtyFourBitControlWindow())
        << "a " VORN_COMPANION_FILE " that this scenario did not start is running";
  }

  void TearDown() override {
    EXPECT_EQ("", host.faults());
    EXPECT_EQ("", host.stop());
    Scenario::TearDown();
    if (findSixtyFourBitControlWindow()) {
      ADD_FAILURE() << VORN_COMPANION_FILE " still runs after " VORN_DAEMON_FILE " --stop";
      runProgram(stageDirectory, VORN_COMPANION_FILE, "--stop", DAEMON_TIMEOUT_MS);
    }
    if (companion) {
      if (!DaemonProcesses::waitForExit(companion, DAEMON_TIMEOUT_MS, NULL)) {
        TerminateProcess(companion, 1);
      }
      CloseHandle(companion);
    }
  }

  // Starts vornd.exe without arguments and waits until both daemons have
  // announced their hooks; keeps hold of vornd64.exe's process.
  ::testing::AssertionResult startBothDaemons() {
    int before = announcementsHeard();
    if (!daemons.start("", &daemon)) {
      return ::testing::AssertionFailure() << VORN_DAEMON_FILE " could not be started";
    }
    bool up = pumpUntil(
        [&] {
          return announcementsHeard() >= before + 2 && findControlWindow() &&
                 findSixtyFourBitControlWindow();
        },
        DAEMON_TIMEOUT_MS);
    if (!up) {
      return ::testing::AssertionFailure()
             << "announcements heard: " << announcementsHeard() - before << " of 2; "
             << VORN_CONTROL_CLASS << (findControlWindow() ? " is there, " : " is missing, ")
             << VORN_COMPANION_CONTROL_CLASS
             << (findSixtyFourBitControlWindow() ? " is there" : " is missing");
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(findSixtyFourBitControlWindow(), &processId);
    companion = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!companion) {
      return ::testing::AssertionFailure() << VORN_COMPANION_FILE "'s process cannot be opened";
    }
    return ::testing::AssertionSuccess();
  }

  // Each section holds an image with `slot` set and `unset` not, and both
  // hold the same image.
  void expectBothImages(int slot, int unset) {
    for (const char *section : {VORN_SECTION_NAME, VORN_OTHER_SECTION_NAME}) {
      EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(slot, -2, section)) << section;
      EXPECT_EQ(NO_OFFSET, imageHeaderField(unset, -2, section)) << section;
    }
    std::string own = sectionBytes(VORN_SECTION_NAME);
    EXPECT_FALSE(own.empty());
    EXPECT_TRUE(own == sectionBytes(VORN_OTHER_SECTION_NAME))
        << VORN_SECTION_NAME " and " VORN_OTHER_SECTION_NAME " hold different images";
  }

  // A gesture on the caption of window `window` (the host's when
  // `inHost`): returns 1 when vorn handled it (the window got one
  // SC_MAXIMIZE, is maximised, and the message the rule is for did not
  // reach it), 0 when it passed on untouched; anything else fails. The
  // window is restored afterwards, by the test, so that it covers nothing
  // in the next step: the two windows lie side by side, and neither needs
  // to be brought forward (under Wine a window of this process activated
  // after one of the host becomes the foreground window but may stay
  // below it).
  int handledOnce(HWND window, bool inHost, UINT message, const char *what) {
    SCOPED_TRACE(what);
    if (inHost) {
      useGestureMarker(host.marker(), [this](POINT at) { return host.markerMovesAt(at); });
    } else {
      gesturesEndOnOwnMarker();
    }
    int commandsBefore = maximiseCommands(window, inHost);
    int messagesBefore = received(window, inHost, message);
    bool made = message == WM_NCLBUTTONDBLCLK ? doubleClick(window, HTCAPTION, LEFT_BUTTON)
                                              : click(window, HTCAPTION, MIDDLE_BUTTON);
    EXPECT_TRUE(made) << "the gesture could not be made";
    gesturesEndOnOwnMarker();
    pumpUntil([&] { return IsZoomed(window) != FALSE; }, ZOOM_TIMEOUT_MS);
    // The host answers after it has handled what was posted to it before.
    if (inHost) host.hostModules();
    pumpPending();
    int commands = maximiseCommands(window, inHost) - commandsBefore;
    int messages = received(window, inHost, message) - messagesBefore;
    bool zoomed = IsZoomed(window) != FALSE;
    EXPECT_LE(commands, 1) << "handled more than once";
    if (commands == 1) {
      EXPECT_TRUE(zoomed) << "not maximised; " << desktop();
      EXPECT_EQ(0, messages) << "handled, yet the click was let through as well";
    } else {
      EXPECT_EQ(1, messages) << "neither handled nor let through";
    }
    ShowWindow(window, SW_RESTORE);
    EXPECT_TRUE(pumpUntil([&] { return !IsZoomed(window); }, ZOOM_TIMEOUT_MS));
    return commands == 1 && messages == 0 ? 1 : 0;
  }

  int maximiseCommands(HWND window, bool inHost) {
    return inHost ? host.systemCommandsReceived(0, SC_MAXIMIZE)
                  : systemCommandsReceived(window, SC_MAXIMIZE);
  }

  int received(HWND window, bool inHost, UINT message) {
    return inHost ? host.countReceived(0, message) : countReceived(window, message);
  }

  SoakProcess host;
  HANDLE companion = NULL;
};

TEST_F(BothPairs, OneDaemonStartsReloadsAndStopsBothAndNoClickIsHandledTwice) {
  ASSERT_TRUE(writeConfiguration(TOGGLE_ON_CAPTION_DOUBLE_CLICKS));
  ASSERT_TRUE(startBothDaemons());
  HWND ownControl = findControlWindow();
  HWND otherControl = findSixtyFourBitControlWindow();
  EXPECT_NE(GetProcessId(daemon), GetProcessId(companion));
  expectBothImages(HEADER_SLOT_NCLBUTTONDBLCLK, HEADER_SLOT_NCMBUTTONUP);

  HWND own = openWindow("32-bit", 60, 140);
  POINT hostMarker = {0, GetSystemMetrics(SM_CYSCREEN) - MARKER_WINDOW_SIZE};
  ASSERT_EQ("", host.startHost({{SOAK_PLAIN, 560, 140, WINDOW_WIDTH, WINDOW_HEIGHT}}, hostMarker,
                               pairHostPath()));
  HWND other = host.window(0);
  forgetReceivedMessages();

  int handled = handledOnce(other, true, WM_NCLBUTTONDBLCLK, "64-bit window, double click");
  handled += handledOnce(own, false, WM_NCLBUTTONDBLCLK, "32-bit window, double click");
  EXPECT_LE(1, handled) << "no program had its click handled";

  std::set<std::string> ownModules = loadedModules();
  EXPECT_EQ(1u, ownModules.count(VORN_LIBRARY_FILE)) << describeModules(ownModules);
  EXPECT_EQ(0u, ownModules.count(VORN_OTHER_LIBRARY_FILE)) << describeModules(ownModules);
  std::set<std::string> hostModules = host.hostModules();
  EXPECT_EQ(1u, hostModules.count(VORN_OTHER_LIBRARY_FILE)) << describeModules(hostModules);
  EXPECT_EQ(0u, hostModules.count(VORN_LIBRARY_FILE)) << describeModules(hostModules);

  // A reload: vornd.exe once more, after the file changed. Both processes
  // keep the views of the image they mapped; the new one must reach them.
  ASSERT_TRUE(writeConfiguration(TOGGLE_ON_CAPTION_MIDDLE_CLICKS));
  int announcements = announcementsHeard();
  ASSERT_TRUE(runDaemonCommand(""));
  EXPECT_TRUE(
      pumpUntil([&] { return announcementsHeard() >= announcements + 2; }, DAEMON_TIMEOUT_MS))
      << "reloads announced: " << announcementsHeard() - announcements << " of 2";
  EXPECT_EQ(ownControl, findControlWindow());
  EXPECT_EQ(otherControl, findSixtyFourBitControlWindow());
  expectBothImages(HEADER_SLOT_NCMBUTTONUP, HEADER_SLOT_NCLBUTTONDBLCLK);

  handled = handledOnce(own, false, WM_NCMBUTTONUP, "32-bit window, middle click after the reload");
  handled +=
      handledOnce(other, true, WM_NCMBUTTONUP, "64-bit window, middle click after the reload");
  EXPECT_LE(1, handled) << "no program had its click handled after the reload";

  ASSERT_TRUE(stopDaemon());
  DWORD exitCode = 1;
  EXPECT_TRUE(DaemonProcesses::waitForExit(companion, DAEMON_TIMEOUT_MS, &exitCode))
      << VORN_COMPANION_FILE " did not end on --stop";
  EXPECT_EQ(0u, exitCode) << VORN_COMPANION_FILE "'s exit code";
  EXPECT_EQ(nullptr, findControlWindow());
  EXPECT_EQ(nullptr, findSixtyFourBitControlWindow());
}

}  // namespace
}  // namespace e2e
