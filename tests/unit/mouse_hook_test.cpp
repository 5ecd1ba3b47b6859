// The mouse dispatcher and its companion hooks, driven through their hook
// procedures by the scenarios of mouse_hook_scenarios.h, plus the cases
// that need a desktop of their own.
#include <gtest/gtest.h>
#include <windows.h>

#include "config/loader_state.h"
#include "hooks/hook_state.h"
#include "hooks/xmouse_mask.h"
#include "unit/dispatch_fixture.h"
#include "unit/mouse_hook_scenarios.h"
#include "vorn.h"
#include "windows/last_activated_window.h"

namespace {

using vorntest::activeWindowTracking;
using vorntest::DispatchFixture;
using vorntest::MouseScenarioTest;
using vorntest::rectAt;
using vorntest::setActiveWindowTracking;

TEST_P(MouseScenarioTest, RunsAsDescribed) { runScenario(); }

INSTANTIATE_TEST_SUITE_P(Dispatcher, MouseScenarioTest,
                         ::testing::ValuesIn(vorntest::allMouseHookScenarios()),
                         vorntest::scenarioName);

class MouseHookTest : public DispatchFixture {
 protected:
  void SetUp() override {
    DispatchFixture::SetUp();
    main = createProbe(rectAt(100, 100, 400, 300));
    other = createProbe(rectAt(550, 100, 300, 300));
  }

  HWND main = NULL, other = NULL;
};

// Only the low word of wParam tells the message; the list and the question
// to the window use it alone.
TEST_F(MouseHookTest, HighBitsOfTheMessageAreIgnored) {
  loadIni({"[List1]", "Hook1=RBUTTONDOWN", "Default.Action=Through"});
  xmouseMode = XMOUSE_SIMULATED;
  mouseActivateAnswer = MA_NOACTIVATEANDEAT;
  EXPECT_EQ(1, callMouseHook(0x7FFF0000 | WM_RBUTTONDOWN, main, HTCLIENT));
  auto asked = probeMessages(WM_MOUSEACTIVATE);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ(MAKELPARAM(HTCLIENT, WM_RBUTTONDOWN), asked[0].lParam);
  EXPECT_EQ(150, lastPoint.x);
}

// Moves never record the point; every other message does, before its row
// is handled.
TEST_F(MouseHookTest, OnlyNonMovesRecordThePoint) {
  loadIni({"[Options]"});
  callMouseHook(WM_MOUSEMOVE, main, HTCLIENT, 300, 310);
  callMouseHook(WM_NCMOUSEMOVE, main, HTCAPTION, 320, 330);
  EXPECT_EQ(0, lastPoint.x);
  EXPECT_EQ(0, lastPoint.y);
  callMouseHook(WM_XBUTTONUP, main, HTCLIENT, -20, 40);
  EXPECT_EQ(-20, lastPoint.x);
  EXPECT_EQ(40, lastPoint.y);
  callMouseHook(WM_NCLBUTTONUP, main, HTCAPTION, 7, 8);
  EXPECT_EQ(7, lastPoint.x);
  EXPECT_EQ(8, lastPoint.y);
}

// Differences are taken as signed 32-bit numbers: a point far to the left
// is far away, not a huge unsigned number that wraps to near.
TEST_F(MouseHookTest, DragDistanceUsesSignedDifferences) {
  loadIni({"[Options]"});
  mbuttonUpMoveProtect = 1;
  callMouseHook(WM_MBUTTONDOWN, main, HTCLIENT, -3000, -3000);
  EXPECT_EQ(MIDDLE_PRESSED, middleState);
  callMouseHook(WM_MOUSEMOVE, main, HTCLIENT, -2996, -3004);
  EXPECT_EQ(MIDDLE_PRESSED, middleState);
  callMouseHook(WM_MOUSEMOVE, main, HTCLIENT, 3000, -3000);
  EXPECT_EQ(MIDDLE_SPOILED, middleState);
}

// The drag distance has a width for x and a height for y, and both are
// asked of the system at every move: the user may change them at any time.
class DragDistanceTest : public MouseHookTest {
 protected:
  void SetUp() override {
    MouseHookTest::SetUp();
    savedWidth = GetSystemMetrics(SM_CXDRAG);
    savedHeight = GetSystemMetrics(SM_CYDRAG);
    setDragSize(2, 8);
    loadIni({"[Options]"});
    mbuttonUpMoveProtect = 1;
  }

  void TearDown() override {
    setDragSize(savedWidth, savedHeight);
    MouseHookTest::TearDown();
  }

  static void setDragSize(int width, int height) {
    SystemParametersInfoA(SPI_SETDRAGWIDTH, (UINT)width, NULL, 0);
    SystemParametersInfoA(SPI_SETDRAGHEIGHT, (UINT)height, NULL, 0);
    ASSERT_EQ(width, GetSystemMetrics(SM_CXDRAG));
    ASSERT_EQ(height, GetSystemMetrics(SM_CYDRAG));
  }

  // The middle gesture after a press at (200, 200) and a move to (x, y).
  int stateAfterDragTo(int x, int y) {
    callMouseHook(WM_MBUTTONDOWN, main, HTCLIENT, 200, 200);
    callMouseHook(WM_MOUSEMOVE, main, HTCLIENT, x, y);
    return middleState;
  }

  int savedWidth = 4, savedHeight = 4;
};

TEST_F(DragDistanceTest, EachAxisHasItsOwnDistance) {
  EXPECT_EQ(MIDDLE_PRESSED, stateAfterDragTo(200, 208));
  EXPECT_EQ(MIDDLE_PRESSED, stateAfterDragTo(200, 192));
  EXPECT_EQ(MIDDLE_PRESSED, stateAfterDragTo(202, 200));
  EXPECT_EQ(MIDDLE_PRESSED, stateAfterDragTo(198, 207));
  EXPECT_EQ(MIDDLE_SPOILED, stateAfterDragTo(203, 200));
  EXPECT_EQ(MIDDLE_SPOILED, stateAfterDragTo(197, 200));
  EXPECT_EQ(MIDDLE_SPOILED, stateAfterDragTo(200, 209));
  EXPECT_EQ(MIDDLE_SPOILED, stateAfterDragTo(200, 191));
}

TEST_F(DragDistanceTest, TheDistanceIsAskedAtEveryMove) {
  EXPECT_EQ(MIDDLE_PRESSED, stateAfterDragTo(200, 208));
  setDragSize(2, 7);
  callMouseHook(WM_MOUSEMOVE, main, HTCLIENT, 200, 208);
  EXPECT_EQ(MIDDLE_SPOILED, middleState);
  setDragSize(3, 7);
  EXPECT_EQ(MIDDLE_PRESSED, stateAfterDragTo(203, 200));
  setDragSize(2, 7);
  callMouseHook(WM_MOUSEMOVE, main, HTCLIENT, 203, 200);
  EXPECT_EQ(MIDDLE_SPOILED, middleState);
}

// Desktops without a foreground window: it must be cleared before the
// windows are made, or one of them would take over.
class NoForegroundHookTest : public DispatchFixture {
 protected:
  void SetUp() override {
    DispatchFixture::SetUp();
    ASSERT_TRUE(clearForeground());
    main = createProbe(rectAt(100, 100, 400, 300));
    other = createProbe(rectAt(550, 100, 300, 300));
    stackFromTop({other, main});
    ASSERT_EQ(nullptr, GetForegroundWindow());
  }

  HWND main = NULL, other = NULL;
};

// A spoiled gesture swallows its release, but leaves the desktop with an
// active window: with none, the highest normal window is activated.
TEST_F(NoForegroundHookTest, SpoiledReleaseActivatesAWindow) {
  loadIni({"[List1]", "Hook1=MBUTTONUP", "Default.Action=ToggleMaximize"});
  EXPECT_EQ(1, callMouseHook(WM_MBUTTONDOWN, main, HTCLIENT));
  EXPECT_EQ(0, callMouseHook(WM_MOUSEWHEEL, main, HTCLIENT));
  EXPECT_EQ(MIDDLE_SPOILED, middleState);
  EXPECT_EQ(1, callMouseHook(WM_MBUTTONUP, main, HTCLIENT));
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }));
  flushPostedMessages();
  EXPECT_TRUE(probeMessages(WM_SYSCOMMAND).empty());
}

TEST_F(NoForegroundHookTest, ActivationWithoutForegroundWindowRecordsNothing) {
  lastActivatedWindow = other;
  returnFromWindowProcedure(main, WM_ACTIVATE);
  EXPECT_EQ(other, lastActivatedWindow);
  EXPECT_EQ(0, foregroundChanged);
}

class MaskCheckTest : public MouseHookTest {
 protected:
  void SetUp() override {
    MouseHookTest::SetUp();
    pane = createProbeChild(main, rectAt(10, 10, 200, 100));
    stackFromTop({other, main});
    loadIni({"[Options]", "UseXMOUSE=1", "MaskXMOUSEOnMOUSEMOVE=1", "[MaskXMOUSE]", "Match=Panes",
             "[Match.Panes]", "nPattern=1", "1.Invoked.Class=vornProbePane"});
    maskMatch = image().header(HEADER_MASKXMOUSE_MATCH);
    ASSERT_NE(NO_OFFSET, maskMatch);
    maskXmouseOnMove = 1;
    xmouseMode = XMOUSE_SYSTEM_TRACKING;
  }

  LRESULT check(ImageOffset match, HWND window) {
    MOUSEHOOKSTRUCT m = hookStruct(window, HTCLIENT);
    return xmouseMaskCheck(match, &m);
  }

  HWND pane = NULL;
  ImageOffset maskMatch = NO_OFFSET;
};

TEST_F(MaskCheckTest, MatchingWindowBelowTheTopIsMasked) {
  setActiveWindowTracking(TRUE);
  EXPECT_EQ(MA_NOACTIVATE, check(maskMatch, pane));
  EXPECT_FALSE(activeWindowTracking());
  EXPECT_EQ(MA_ACTIVATE, check(maskMatch, main));
  EXPECT_TRUE(activeWindowTracking());
  EXPECT_EQ(MA_ACTIVATE, check(NO_OFFSET, pane));
  stackFromTop({main, other});
  EXPECT_EQ(MA_ACTIVATE, check(maskMatch, pane));
}

TEST_F(MaskCheckTest, HoldMasksEveryWindow) {
  setActiveWindowTracking(TRUE);
  activationHold = 1;
  EXPECT_EQ(MA_NOACTIVATE, check(NO_OFFSET, other));
  EXPECT_FALSE(activeWindowTracking());
  EXPECT_EQ(1, activationHold);
}

TEST_F(MaskCheckTest, WithMaskingOffNothingIsAskedOrSwitched) {
  setActiveWindowTracking(FALSE);
  maskXmouseOnMove = 0;
  activationHold = 1;
  EXPECT_EQ(MA_ACTIVATE, check(maskMatch, pane));
  EXPECT_FALSE(activeWindowTracking());
}

// The call-window-return hook needs no configuration.
class ActivationHookTest : public MouseHookTest {};

TEST_F(ActivationHookTest, EveryActivationRecordsTheForegroundWindow) {
  ASSERT_EQ(nullptr, imageHeader);
  ASSERT_TRUE(makeForeground(main));
  stackFromTop({other, main});
  EXPECT_EQ(0, returnFromWindowProcedure(other, WM_ACTIVATE));
  EXPECT_EQ(main, lastActivatedWindow);
  // main is not on top: no foreground change is noted.
  EXPECT_EQ(0, foregroundChanged);
  stackFromTop({main, other});
  returnFromWindowProcedure(main, WM_ACTIVATE);
  EXPECT_EQ(1, foregroundChanged);
}

// Only the activation of the foreground window itself counts as a change
// of the foreground: another window's activation message (its
// deactivation, say) refreshes the record and nothing else.
TEST_F(ActivationHookTest, AnotherWindowsActivationIsNoForegroundChange) {
  ASSERT_TRUE(makeForeground(main));
  stackFromTop({main, other});
  returnFromWindowProcedure(other, WM_ACTIVATE, WA_INACTIVE);
  EXPECT_EQ(main, lastActivatedWindow);
  EXPECT_EQ(0, foregroundChanged);
  returnFromWindowProcedure(other, WM_WINDOWPOSCHANGED);
  EXPECT_EQ(0, foregroundChanged);
}

TEST_F(ActivationHookTest, OtherCodesAndMessagesAreIgnored) {
  ASSERT_TRUE(makeForeground(main));
  returnFromWindowProcedure(main, WM_ACTIVATE, 0, -1);
  returnFromWindowProcedure(main, WM_WINDOWPOSCHANGED, 0, 1);
  returnFromWindowProcedure(main, WM_WINDOWPOSCHANGING);
  returnFromWindowProcedure(main, WM_ACTIVATEAPP);
  EXPECT_EQ(nullptr, lastActivatedWindow);
  EXPECT_EQ(0, foregroundChanged);
}

}  // namespace
