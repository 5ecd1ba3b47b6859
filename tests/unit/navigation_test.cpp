// Window navigation on live desktops: click and activation targets, the
// eligible and normal tests, the z-order walks and the two z-order moves.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "unit/desktop_fixture.h"
#include "windows/navigation.h"

namespace {

using vorntest::DesktopFixture;
using vorntest::MdiFrame;
using vorntest::rectAt;

using Order = std::vector<HWND>;

// ---- from the clicked window to the window the click is about ---------------

class ClickTargetTest : public DesktopFixture {};

TEST_F(ClickTargetTest, RootParentClimbsParentsAndPopupOwners) {
  HWND main = createTopLevel(rectAt(50, 50, 400, 300));
  HWND pane = createChild(main, rectAt(0, 0, 200, 200));
  HWND control = createChild(pane, rectAt(10, 10, 50, 20));
  HWND palette = createPopup(main, rectAt(500, 50, 100, 200));
  HWND paletteButton = createChild(palette, rectAt(5, 5, 40, 20));
  HWND owned = createOwned(main, rectAt(100, 100, 200, 150));

  EXPECT_EQ(main, rootParent(control));
  EXPECT_EQ(main, rootParent(paletteButton));
  EXPECT_EQ(main, rootParent(palette));
  EXPECT_EQ(main, rootParent(main));
  // GetParent does not report the owner of a window that is not a popup,
  // so such a window is its own root.
  EXPECT_EQ(owned, rootParent(owned));
  EXPECT_EQ(nullptr, rootParent(NULL));
}

// A popup window with the child bit too has no parent to GetParent (it
// reports a popup's owner): the climbs end there and take it, child bit
// and all, rather than the last active popup it owns.
TEST_F(ClickTargetTest, TheEndOfTheChainIsTakenWhateverItsChildBit) {
  HWND top = createPopup(NULL, rectAt(100, 100, 400, 300), POPUP_STYLE | WS_CHILD);
  HWND pane = createChild(top, rectAt(10, 10, 200, 100));
  HWND palette = createPopup(top, rectAt(550, 100, 150, 100));
  ASSERT_EQ(nullptr, GetParent(top));
  ASSERT_NE(0, GetWindowLongA(top, GWL_STYLE) & WS_CHILD);
  ASSERT_TRUE(makeForeground(palette));
  ASSERT_EQ(palette, GetLastActivePopup(top));
  EXPECT_EQ(top, clickTarget(pane));
  EXPECT_EQ(top, activationTarget(pane));
}

TEST_F(ClickTargetTest, DialogButtonTargetsTheDialog) {
  HWND main = createTopLevel(rectAt(50, 50, 400, 300));
  HWND dialog = createPopup(main, rectAt(100, 100, 200, 150));
  HWND button = createChild(dialog, rectAt(20, 20, 60, 25));

  EXPECT_EQ(dialog, clickTarget(button));
  EXPECT_EQ(dialog, activationTarget(button));
  EXPECT_EQ(main, clickTarget(main));
}

TEST_F(ClickTargetTest, DisabledOwnerLeadsToItsModalDialog) {
  HWND main = createTopLevel(rectAt(50, 50, 400, 300));
  HWND document = createChild(main, rectAt(0, 0, 300, 200));
  HWND dialog = createPopup(main, rectAt(100, 100, 200, 150));
  ASSERT_TRUE(makeForeground(dialog));
  EnableWindow(main, FALSE);

  EXPECT_EQ(dialog, lastActivePopupOfRoot(document));
  EXPECT_EQ(dialog, clickTarget(document));
  EXPECT_EQ(dialog, activationTarget(document));
  EXPECT_EQ(dialog, clickTarget(main));
}

TEST_F(ClickTargetTest, MdiControlTargetsFrameButActivatesDocument) {
  MdiFrame mdi = createMdiFrame(rectAt(50, 50, 500, 400));
  HWND document = createMdiChild(mdi.client, rectAt(10, 10, 200, 150));
  HWND control = createChild(document, rectAt(5, 5, 50, 20));

  EXPECT_EQ(mdi.frame, clickTarget(control));
  EXPECT_EQ(document, activationTarget(control));
  EXPECT_EQ(mdi.frame, rootParent(control));
}

TEST_F(ClickTargetTest, EmptyHiddenOrDisabledPopupsAreClimbedPast) {
  HWND main = createTopLevel(rectAt(50, 50, 400, 300));
  HWND zeroWidth = createPopup(main, rectAt(100, 100, 0, 80), WS_POPUP | WS_VISIBLE);
  HWND zeroHeight = createPopup(main, rectAt(100, 100, 80, 0), WS_POPUP | WS_VISIBLE);
  HWND hidden = createPopup(main, rectAt(100, 100, 80, 80), WS_POPUP | WS_CAPTION);
  HWND disabled = createPopup(main, rectAt(100, 100, 80, 80), POPUP_STYLE | WS_DISABLED);

  for (HWND popup : {zeroWidth, zeroHeight, hidden, disabled}) {
    HWND inside = createChild(popup, rectAt(0, 0, 10, 10));
    EXPECT_EQ(main, clickTarget(inside));
    EXPECT_EQ(main, activationTarget(inside));
  }
}

TEST_F(ClickTargetTest, NoneAndDestroyedWindowsGiveNone) {
  HWND gone = createTopLevel(rectAt(50, 50, 200, 200));
  DestroyWindow(gone);

  EXPECT_EQ(nullptr, clickTarget(NULL));
  EXPECT_EQ(nullptr, activationTarget(NULL));
  // Its style reads as 0, so it is no stop; what the chain's end then gives
  // is the system's answer for a dead window, which is no live window.
  EXPECT_FALSE(IsWindow(clickTarget(gone)));
  EXPECT_FALSE(IsWindow(activationTarget(gone)));
}

// ---- the eligible and normal tests --------------------------------------------

class WindowTestsTest : public DesktopFixture {
 protected:
  // Eligible for a walk down, eligible for a walk up, normal.
  void expectTests(HWND window, int down, int up, int normal, const char *what) {
    EXPECT_EQ(down, isEligibleWindow(window, GW_HWNDNEXT)) << what;
    EXPECT_EQ(up, isEligibleWindow(window, GW_HWNDPREV)) << what;
    EXPECT_EQ(normal, isNormalWindow(window)) << what;
  }
};

TEST_F(WindowTestsTest, StylesDecideEligibleAndNormal) {
  RECT box = rectAt(100, 100, 200, 150);
  expectTests(createTopLevel(box), 1, 1, 1, "plain window");
  expectTests(createTopLevel(box, TOP_LEVEL_STYLE & ~WS_VISIBLE), 0, 0, 0, "hidden");
  expectTests(createTopLevel(box, TOP_LEVEL_STYLE | WS_DISABLED), 0, 0, 0, "disabled");
  expectTests(createTopmost(box), 0, 1, 0, "topmost");
  expectTests(createToolWindow(box), 0, 0, 0, "tool window");
  expectTests(createToolWindow(box, WS_EX_APPWINDOW), 1, 1, 1, "tool window with app bit");
  expectTests(createPopup(NULL, box), 1, 1, 1, "unowned popup");

  HWND minimized = createTopLevel(box);
  ShowWindow(minimized, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(minimized));
  expectTests(minimized, 1, 1, 0, "minimised");
}

TEST_F(WindowTestsTest, OnlyMdiChildrenAmongChildWindows) {
  MdiFrame mdi = createMdiFrame(rectAt(50, 50, 500, 400));
  HWND document = createMdiChild(mdi.client, rectAt(10, 10, 200, 150));
  HWND pane = createChild(document, rectAt(0, 0, 50, 50));

  expectTests(document, 1, 1, 1, "MDI child");
  expectTests(pane, 0, 0, 0, "plain child");
  expectTests(mdi.client, 0, 0, 0, "MDI client");
}

TEST_F(WindowTestsTest, EmptyRectanglesAndGoneWindowsPassNothing) {
  expectTests(createPopup(NULL, rectAt(100, 100, 0, 80), WS_POPUP | WS_VISIBLE), 0, 0, 0,
              "zero width");
  expectTests(createPopup(NULL, rectAt(100, 100, 80, 0), WS_POPUP | WS_VISIBLE), 0, 0, 0,
              "zero height");
  HWND gone = createTopLevel(rectAt(100, 100, 80, 80));
  DestroyWindow(gone);
  expectTests(gone, 0, 0, 0, "destroyed");
  expectTests(NULL, 0, 0, 0, "none");
}

// ---- walks over the z-order ---------------------------------------------------

class ZOrderWalkTest : public DesktopFixture {
 protected:
  // From the top: two topmost windows, then normal A, a hidden window, B,
  // a tool window, a minimised window and C at the bottom.
  void SetUp() override {
    DesktopFixture::SetUp();
    RECT box = rectAt(100, 100, 300, 200);
    topmost1 = createTopmost(box);
    topmost2 = createTopmost(box);
    a = createTopLevel(box);
    hidden = createTopLevel(box, TOP_LEVEL_STYLE & ~WS_VISIBLE);
    b = createTopLevel(box);
    tool = createToolWindow(box);
    minimized = createTopLevel(box);
    c = createTopLevel(box);
    ShowWindow(minimized, SW_SHOWMINNOACTIVE);
    stackFromTop({topmost1, topmost2, a, hidden, b, tool, minimized, c});
    SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  HWND topmost1 = NULL, topmost2 = NULL, a = NULL, hidden = NULL, b = NULL, tool = NULL;
  HWND minimized = NULL, c = NULL;
};

TEST_F(ZOrderWalkTest, DesktopIsStackedAsIntended) {
  EXPECT_EQ((Order{topmost1, topmost2, a, hidden, b, tool, minimized, c}),
            zOrderOf({topmost1, topmost2, a, hidden, b, tool, minimized, c}));
  EXPECT_TRUE(isLowestVisible(c));
}

TEST_F(ZOrderWalkTest, FirstFindsTheHighestNonTopmostWindow) {
  for (HWND from : {topmost1, a, b, c, minimized}) {
    EXPECT_EQ(a, nextEligibleWindow(from, GW_HWNDFIRST));
    EXPECT_EQ(a, nextNormalWindow(from, GW_HWNDFIRST));
  }
}

TEST_F(ZOrderWalkTest, DownwardWalksSkipWhatTheyMust) {
  EXPECT_EQ(b, nextEligibleWindow(a, GW_HWNDNEXT));
  EXPECT_EQ(minimized, nextEligibleWindow(b, GW_HWNDNEXT));
  EXPECT_EQ(c, nextNormalWindow(b, GW_HWNDNEXT));
  EXPECT_EQ(a, nextEligibleWindow(topmost1, GW_HWNDNEXT));
}

TEST_F(ZOrderWalkTest, UpwardWalksAcceptTopmostWindowsButNormalOnesDoNot) {
  EXPECT_EQ(topmost2, nextEligibleWindow(a, GW_HWNDPREV));
  EXPECT_EQ(nullptr, nextNormalWindow(a, GW_HWNDPREV));
  EXPECT_EQ(b, nextEligibleWindow(minimized, GW_HWNDPREV));
  EXPECT_EQ(b, nextNormalWindow(c, GW_HWNDPREV));
}

TEST_F(ZOrderWalkTest, LastFindsTheLowestWindow) {
  EXPECT_EQ(c, nextEligibleWindow(a, GW_HWNDLAST));
  EXPECT_EQ(c, nextNormalWindow(a, GW_HWNDLAST));

  SetWindowPos(minimized, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(minimized, nextEligibleWindow(a, GW_HWNDLAST));
  EXPECT_EQ(c, nextNormalWindow(a, GW_HWNDLAST));
}

TEST_F(ZOrderWalkTest, WalksDoNotWrapAround) {
  EXPECT_EQ(nullptr, nextEligibleWindow(c, GW_HWNDNEXT));
  EXPECT_EQ(nullptr, nextNormalWindow(c, GW_HWNDNEXT));
  EXPECT_EQ(nullptr, nextNormalWindow(topmost1, GW_HWNDPREV));
  ASSERT_TRUE(isHighestVisible(topmost1));
  EXPECT_EQ(nullptr, nextEligibleWindow(topmost1, GW_HWNDPREV));
}

TEST_F(ZOrderWalkTest, NoneGoneAndInvalidDirectionsGiveNone) {
  EXPECT_EQ(nullptr, nextEligibleWindow(NULL, GW_HWNDFIRST));
  EXPECT_EQ(nullptr, nextNormalWindow(NULL, GW_HWNDNEXT));
  EXPECT_EQ(nullptr, nextEligibleWindow(b, GW_OWNER));
  EXPECT_EQ(nullptr, nextEligibleWindow(b, GW_CHILD));
  DestroyWindow(c);
  EXPECT_EQ(nullptr, nextEligibleWindow(c, GW_HWNDPREV));
}

class SparseDesktopWalkTest : public DesktopFixture {};

TEST_F(SparseDesktopWalkTest, OnlyTopmostWindowsLeaveDownwardWalksEmpty) {
  HWND upper = createTopmost(rectAt(100, 100, 200, 200));
  HWND lower = createTopmost(rectAt(150, 150, 200, 200));
  stackFromTop({upper, lower});

  EXPECT_EQ(nullptr, nextEligibleWindow(upper, GW_HWNDFIRST));
  EXPECT_EQ(nullptr, nextEligibleWindow(upper, GW_HWNDNEXT));
  EXPECT_EQ(lower, nextEligibleWindow(upper, GW_HWNDLAST));
  EXPECT_EQ(upper, nextEligibleWindow(lower, GW_HWNDPREV));
}

TEST_F(SparseDesktopWalkTest, FirstTestsTheStartingWindowItself) {
  HWND only = createTopLevel(rectAt(100, 100, 200, 200));
  EXPECT_EQ(only, nextEligibleWindow(only, GW_HWNDFIRST));
  EXPECT_EQ(only, nextNormalWindow(only, GW_HWNDLAST));
  EXPECT_EQ(nullptr, nextEligibleWindow(only, GW_HWNDNEXT));
  EXPECT_EQ(nullptr, nextEligibleWindow(only, GW_HWNDPREV));

  ShowWindow(only, SW_HIDE);
  EXPECT_EQ(nullptr, nextEligibleWindow(only, GW_HWNDFIRST));
}

TEST_F(SparseDesktopWalkTest, ToolWindowsTakePartOnlyWithTheAppBit) {
  HWND top = createTopLevel(rectAt(100, 100, 200, 200));
  HWND palette = createToolWindow(rectAt(120, 120, 100, 100));
  HWND appTool = createToolWindow(rectAt(140, 140, 100, 100), WS_EX_APPWINDOW);
  stackFromTop({top, palette, appTool});

  EXPECT_EQ(appTool, nextEligibleWindow(top, GW_HWNDNEXT));
  EXPECT_EQ(appTool, nextNormalWindow(top, GW_HWNDNEXT));
  EXPECT_EQ(top, nextEligibleWindow(appTool, GW_HWNDPREV));
}

TEST_F(SparseDesktopWalkTest, MdiWalksStayAmongTheDocuments) {
  HWND outside = createTopLevel(rectAt(600, 100, 200, 200));
  MdiFrame mdi = createMdiFrame(rectAt(50, 50, 500, 400));
  HWND first = createMdiChild(mdi.client, rectAt(0, 0, 200, 150));
  HWND second = createMdiChild(mdi.client, rectAt(20, 20, 200, 150));
  HWND third = createMdiChild(mdi.client, rectAt(40, 40, 200, 150));
  stackFromTop({first, second, third});
  stackFromTop({outside, mdi.frame});

  EXPECT_EQ(second, nextEligibleWindow(first, GW_HWNDNEXT));
  EXPECT_EQ(first, nextEligibleWindow(third, GW_HWNDFIRST));
  EXPECT_EQ(third, nextNormalWindow(first, GW_HWNDLAST));
  EXPECT_EQ(nullptr, nextEligibleWindow(third, GW_HWNDNEXT));
  EXPECT_EQ(nullptr, nextEligibleWindow(first, GW_HWNDPREV));
}

// ---- the top of the z-order ---------------------------------------------------

class TopOfZOrderTest : public DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    topmost = createTopmost(rectAt(100, 100, 200, 200));
    a = createTopLevel(rectAt(120, 120, 200, 200));
    b = createTopLevel(rectAt(140, 140, 200, 200));
    stackFromTop({topmost, a, b});
  }

  HWND topmost = NULL, a = NULL, b = NULL;
};

TEST_F(TopOfZOrderTest, WithoutRecordedActivationTheHighestNormalOrAnyTopmostIsTop) {
  EXPECT_EQ(1, isTopOfZOrder(a));
  EXPECT_EQ(0, isTopOfZOrder(b));
  EXPECT_EQ(1, isTopOfZOrder(topmost));
  HWND lowerTopmost = createTopmost(rectAt(100, 100, 50, 50));
  stackFromTop({topmost, lowerTopmost});
  EXPECT_EQ(1, isTopOfZOrder(lowerTopmost));
  EXPECT_EQ(0, isTopOfZOrder(NULL));
}

TEST_F(TopOfZOrderTest, HiddenDisabledOrMinimisedWindowIsNeverTop) {
  ShowWindow(a, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(0, isTopOfZOrder(a));
  EXPECT_EQ(1, isTopOfZOrder(b));
  EnableWindow(b, FALSE);
  EXPECT_EQ(0, isTopOfZOrder(b));
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(0, isTopOfZOrder(b));
}

TEST_F(TopOfZOrderTest, RecordedActivationRulesOutEveryOtherWindow) {
  lastActivatedWindow = b;
  EXPECT_EQ(0, isTopOfZOrder(a));
  EXPECT_EQ(0, isTopOfZOrder(topmost));
  EXPECT_EQ(0, isTopOfZOrder(b));
  stackFromTop({b, a});
  EXPECT_EQ(1, isTopOfZOrder(b));

  lastActivatedWindow = topmost;
  EXPECT_EQ(1, isTopOfZOrder(topmost));
  EXPECT_EQ(0, isTopOfZOrder(b));
}

// ---- the two z-order moves ----------------------------------------------------

class ZOrderMoveTest : public DesktopFixture {};

TEST_F(ZOrderMoveTest, RaiseKeepsTheForegroundAndStaysBelowTopmost) {
  HWND topmost = createTopmost(rectAt(100, 100, 100, 100));
  HWND a = createTopLevel(rectAt(120, 120, 200, 200));
  HWND b = createTopLevel(rectAt(140, 140, 200, 200));
  stackFromTop({topmost, a, b});
  ASSERT_TRUE(makeForeground(a));

  EXPECT_EQ(1, raiseWithoutActivating(b));

  EXPECT_EQ((Order{topmost, b, a}), zOrderOf({topmost, a, b}));
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_EQ(1, raiseWithoutActivating(NULL));
}

TEST_F(ZOrderMoveTest, LowerSendsANormalWindowToTheBottom) {
  HWND a = createTopLevel(rectAt(120, 120, 200, 200));
  HWND b = createTopLevel(rectAt(140, 140, 200, 200));
  HWND c = createTopLevel(rectAt(160, 160, 200, 200));
  stackFromTop({a, b, c});
  ASSERT_TRUE(makeForeground(a));

  EXPECT_EQ(1, lowerWindow(a));

  EXPECT_EQ((Order{b, c, a}), zOrderOf({a, b, c}));
  EXPECT_TRUE(isLowestVisible(a));
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_EQ(1, lowerWindow(NULL));
}

TEST_F(ZOrderMoveTest, LowerKeepsATopmostWindowAboveNormalOnes) {
  HWND t1 = createTopmost(rectAt(100, 100, 100, 100));
  HWND t2 = createTopmost(rectAt(110, 110, 100, 100));
  HWND t3 = createTopmost(rectAt(120, 120, 100, 100));
  HWND a = createTopLevel(rectAt(140, 140, 200, 200));
  stackFromTop({t1, t2, t3, a});

  lowerWindow(t1);

  EXPECT_EQ((Order{t2, t3, t1, a}), zOrderOf({t1, t2, t3, a}));
  EXPECT_TRUE(GetWindowLongA(t1, GWL_EXSTYLE) & WS_EX_TOPMOST);

  lowerWindow(t1);  // already the lowest eligible topmost window
  EXPECT_EQ((Order{t2, t3, t1, a}), zOrderOf({t1, t2, t3, a}));
}

// A topmost tool window below does not count: the window is already the
// lowest eligible topmost window and stays where it is.
TEST_F(ZOrderMoveTest, LowerIgnoresTopmostToolWindowsBelow) {
  HWND t1 = createTopmost(rectAt(100, 100, 100, 100));
  HWND toolbar = createTopmost(rectAt(110, 110, 100, 100), WS_EX_TOOLWINDOW);
  HWND a = createTopLevel(rectAt(140, 140, 200, 200));
  stackFromTop({t1, toolbar, a});

  lowerWindow(t1);
  EXPECT_EQ((Order{t1, toolbar, a}), zOrderOf({t1, toolbar, a}));

  HWND t2 = createTopmost(rectAt(120, 120, 100, 100));
  stackFromTop({t1, t2, toolbar, a});
  lowerWindow(t1);
  EXPECT_EQ((Order{t2, t1, toolbar, a}), zOrderOf({t1, t2, toolbar, a}));
}

// With no eligible topmost window above the highest eligible normal one,
// or no eligible normal window at all, there is nowhere to lower a topmost
// window to; inserting it after none would raise it instead.
TEST_F(ZOrderMoveTest, LowerLeavesATopmostWindowAloneWhenThereIsNowhereToGo) {
  HWND paletteTop = createTopmost(rectAt(100, 100, 100, 100), WS_EX_TOOLWINDOW);
  HWND paletteBelow = createTopmost(rectAt(110, 110, 100, 100), WS_EX_TOOLWINDOW);
  HWND a = createTopLevel(rectAt(140, 140, 200, 200));
  stackFromTop({paletteTop, paletteBelow, a});

  lowerWindow(paletteBelow);
  EXPECT_EQ((Order{paletteTop, paletteBelow, a}), zOrderOf({paletteTop, paletteBelow, a}));

  ShowWindow(a, SW_HIDE);
  HWND t1 = createTopmost(rectAt(100, 100, 100, 100));
  HWND t2 = createTopmost(rectAt(110, 110, 100, 100));
  stackFromTop({t1, t2});
  lowerWindow(t2);
  EXPECT_EQ((Order{t1, t2}), zOrderOf({t1, t2}));
}

TEST_F(ZOrderMoveTest, MdiDocumentsMoveAmongTheirSiblings) {
  MdiFrame mdi = createMdiFrame(rectAt(50, 50, 500, 400));
  HWND first = createMdiChild(mdi.client, rectAt(0, 0, 200, 150));
  HWND second = createMdiChild(mdi.client, rectAt(20, 20, 200, 150));
  stackFromTop({first, second});

  lowerWindow(first);
  EXPECT_EQ((Order{second, first}), zOrderOf({first, second}));
  raiseWithoutActivating(first);
  EXPECT_EQ((Order{first, second}), zOrderOf({first, second}));
}

}  // namespace
