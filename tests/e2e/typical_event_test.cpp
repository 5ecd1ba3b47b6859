// The typical event: a middle click on the caption of a window that is not
// in front sends it to the back and activates the highest window left;
// neither the press nor the release reaches the window.
#include <gtest/gtest.h>
#include <windows.h>

#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "test_windows.h"
#include "window_state.h"

namespace e2e {
namespace {

class TypicalEvent : public Scenario {};

const char *const TYPICAL_CONFIGURATION =
    "[List1]\n"
    "Hook1=NCMBUTTONUP\n"
    "1.Match=Caption.NotForeground\n"
    "1.Action=LowerAndSwitch\n"
    "[Match.Caption]\n"
    "nPattern=1\n"
    "1.NCHitTest=CAPTION\n";

// The everyday case: the window clicked lies behind the active one, which
// stays active.
TEST_F(TypicalEvent, MiddleClickOnTheCaptionOfAWindowBehindSendsItToTheBack) {
  ASSERT_TRUE(writeConfiguration(TYPICAL_CONFIGURATION));
  ASSERT_TRUE(startDaemon());
  HWND third = openWindow("third", 260, 220);
  HWND second = openWindow("second", 180, 160);
  HWND first = openWindow("first", 100, 100);
  ASSERT_TRUE(desktopIs({first, second, third}, first)) << desktop();
  forgetReceivedMessages();

  ASSERT_TRUE(click(second, HTCAPTION, MIDDLE_BUTTON));

  EXPECT_TRUE(pumpUntil([&] { return desktopIs({first, third, second}, first); })) << desktop();
  EXPECT_EQ("none", buttonMessagesReceived(second)) << receivedTrace();
}

// `second` lies on top without being active, and `third`, the active
// window, lies below the other two: the click changes both the z-order and
// the foreground window.
TEST_F(TypicalEvent, MiddleClickOnTheCaptionOfAnInactiveWindowLowersItAndActivatesTheNext) {
  ASSERT_TRUE(writeConfiguration(TYPICAL_CONFIGURATION));
  ASSERT_TRUE(startDaemon());
  HWND first = openWindow("first", 100, 100);
  HWND second = openWindow("second", 180, 160);
  HWND third = openWindow("third", 260, 220);
  stackFromTop({second, first, third});
  ASSERT_TRUE(pumpUntil([&] { return desktopIs({second, first, third}, third); })) << desktop();
  forgetReceivedMessages();

  ASSERT_TRUE(click(second, HTCAPTION, MIDDLE_BUTTON));

  EXPECT_TRUE(pumpUntil([&] { return desktopIs({first, third, second}, first); })) << desktop();
  EXPECT_EQ("none", buttonMessagesReceived(second)) << receivedTrace();
}

TEST_F(TypicalEvent, MiddleClickOnTheCaptionOfTheFrontWindowReachesIt) {
  ASSERT_TRUE(writeConfiguration(TYPICAL_CONFIGURATION));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 220, 180);
  ASSERT_TRUE(desktopIs({front, back}, front)) << desktop();
  forgetReceivedMessages();

  ASSERT_TRUE(click(front, HTCAPTION, MIDDLE_BUTTON));

  EXPECT_EQ("WM_NCMBUTTONDOWN, WM_NCMBUTTONUP", buttonMessagesReceived(front)) << receivedTrace();
  EXPECT_TRUE(desktopIs({front, back}, front)) << desktop();
}

}  // namespace
}  // namespace e2e
