// Clicks that run actions: what the window receives and what becomes of it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "test_windows.h"
#include "window_state.h"

namespace e2e {
namespace {

class ClickActions : public Scenario {};

const char *const NO_ACTION_ON_LEFT_CLICKS =
    "[List1]\n"
    "Hook1=LBUTTONDOWN\n"
    "Hook2=LBUTTONUP\n"
    "1.Match=Client\n"
    "1.Action=NoAction\n"
    "[Match.Client]\n"
    "nPattern=1\n"
    "1.NCHitTest=CLIENT\n";

const char *const MINIMIZE_OR_LOWER_ON_CAPTIONS =
    "[List1]\n"
    "Hook1=NCMBUTTONUP\n"
    "1.Match=Caption\n"
    "1.Action=MinimizeOrLower\n"
    "[Match.Caption]\n"
    "nPattern=1\n"
    "1.NCHitTest=CAPTION\n";

const char *const TOGGLE_MAXIMIZE_ON_CAPTIONS =
    "[List1]\n"
    "Hook1=NCLBUTTONDBLCLK\n"
    "1.Match=Caption\n"
    "1.Action=ToggleMaximize\n"
    "[Match.Caption]\n"
    "nPattern=1\n"
    "1.NCHitTest=CAPTION\n";

// The middle click on a caption runs `action` (the release decides the
// press too, so the window gets neither).
std::string middleClickOnCaptionsRuns(const char *action) {
  return std::string("[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=") + action +
         "\n[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n";
}

// The press of a left click in the client area of a window that is not
// active would activate it; with both halves swallowed nothing happens.
TEST_F(ClickActions, NoActionSwallowsTheWholeClick) {
  ASSERT_TRUE(writeConfiguration(NO_ACTION_ON_LEFT_CLICKS));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 220, 180);
  forgetReceivedMessages();

  ASSERT_TRUE(click(back, HTCLIENT, LEFT_BUTTON));

  EXPECT_EQ("none", buttonMessagesReceived(back)) << receivedTrace();
  EXPECT_EQ(0, countReceived(back, WM_MOUSEACTIVATE));
  EXPECT_TRUE(desktopIs({front, back}, front)) << desktop();
}

TEST_F(ClickActions, MinimizeOrLowerMinimisesTheWindowAndActivatesTheNext) {
  ASSERT_TRUE(writeConfiguration(MINIMIZE_OR_LOWER_ON_CAPTIONS));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 220, 180);
  forgetReceivedMessages();

  ASSERT_TRUE(click(front, HTCAPTION, MIDDLE_BUTTON));

  EXPECT_TRUE(pumpUntil([&] { return IsIconic(front) && GetForegroundWindow() == back; }))
      << desktop();
  EXPECT_EQ("none", buttonMessagesReceived(front)) << receivedTrace();
}

// A double click on the caption, as in the sample configuration. The test
// windows do not maximise on a caption double click themselves.
TEST_F(ClickActions, ToggleMaximizeTwiceMaximisesThenRestores) {
  ASSERT_TRUE(writeConfiguration(TOGGLE_MAXIMIZE_ON_CAPTIONS));
  ASSERT_TRUE(startDaemon());
  HWND window = openWindow("window", 150, 120);
  RECT restored;
  GetWindowRect(window, &restored);
  forgetReceivedMessages();

  ASSERT_TRUE(doubleClick(window, HTCAPTION, LEFT_BUTTON));
  EXPECT_TRUE(pumpUntil([&] { return IsZoomed(window) != FALSE; })) << desktop();
  ASSERT_TRUE(doubleClick(window, HTCAPTION, LEFT_BUTTON));
  EXPECT_TRUE(pumpUntil([&] { return !IsZoomed(window); })) << desktop();

  RECT now;
  GetWindowRect(window, &now);
  EXPECT_TRUE(EqualRect(&restored, &now)) << "not back at its old place and size";
  EXPECT_EQ(0, countReceived(window, WM_NCLBUTTONDBLCLK));
}

// "Close" asks the window to close, as its close button does; a test
// window that lets DefWindowProc answer closes.
TEST_F(ClickActions, CloseClosesTheWindow) {
  ASSERT_TRUE(writeConfiguration(middleClickOnCaptionsRuns("Close").c_str()));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 220, 180);
  forgetReceivedMessages();

  ASSERT_TRUE(click(front, HTCAPTION, MIDDLE_BUTTON));

  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(front); })) << desktop();
  EXPECT_TRUE(IsWindow(back));
}

// "ToggleTopmost" on a window behind: it becomes topmost, then not, and
// is never activated.
TEST_F(ClickActions, ToggleTopmostTwiceSetsAndClearsItsTopmostStyle) {
  ASSERT_TRUE(writeConfiguration(middleClickOnCaptionsRuns("ToggleTopmost").c_str()));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 260, 220);
  auto topmost = [&] { return (GetWindowLongA(back, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  forgetReceivedMessages();

  ASSERT_TRUE(click(back, HTCAPTION, MIDDLE_BUTTON));
  EXPECT_TRUE(pumpUntil(topmost)) << desktop();
  EXPECT_EQ(front, GetForegroundWindow()) << desktop();
  ASSERT_TRUE(click(back, HTCAPTION, MIDDLE_BUTTON));
  EXPECT_TRUE(pumpUntil([&] { return !topmost(); })) << desktop();
  EXPECT_EQ(front, GetForegroundWindow()) << desktop();
  EXPECT_EQ("none", buttonMessagesReceived(back)) << receivedTrace();
}

// A right click on a caption whose release has a list: the release runs
// the action and its list decides the press, so the window gets neither
// half and opens no window menu.
TEST_F(ClickActions, RightClickOnACaptionRunsTheReleaseListAndReachesNoWindow) {
  ASSERT_TRUE(
      writeConfiguration("[List1]\nHook1=NCRBUTTONUP\n1.Match=Caption\n1.Action=ToggleTopmost\n"
                         "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n"));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 260, 220);
  forgetReceivedMessages();

  ASSERT_TRUE(click(back, HTCAPTION, RIGHT_BUTTON));

  EXPECT_TRUE(pumpUntil([&] { return (GetWindowLongA(back, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }))
      << desktop();
  EXPECT_EQ("none", buttonMessagesReceived(back)) << receivedTrace();
  EXPECT_EQ(0, countReceived(back, WM_CONTEXTMENU));
  EXPECT_EQ(front, GetForegroundWindow()) << desktop();
}

// The roll spoils the gesture: the release is discarded and no action runs.
TEST_F(ClickActions, WheelRollBetweenMiddlePressAndReleaseDiscardsTheRelease) {
  ASSERT_TRUE(writeConfiguration(MINIMIZE_OR_LOWER_ON_CAPTIONS));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 220, 180);
  forgetReceivedMessages();

  ASSERT_TRUE(clickWithWheelRoll(front, HTCAPTION, MIDDLE_BUTTON));

  EXPECT_EQ("WM_MOUSEWHEEL", buttonMessagesReceived(front)) << receivedTrace();
  EXPECT_FALSE(IsIconic(front));
  EXPECT_TRUE(desktopIs({front, back}, front)) << desktop();
}

}  // namespace
}  // namespace e2e
