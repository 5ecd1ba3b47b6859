// Windows the desktop window manager cloaks (suspended store apps, windows
// on other virtual desktops) look visible, enabled and non-empty to every
// other question, so only DwmGetWindowAttribute tells them apart. Host
// only: no program can cloak a window of its own under Wine, whose DWM
// cloaks nothing, and only winsim records the calls an action made.
#include <dwmapi.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "config/image_layout.h"
#include "host/fresh_process.h"
#include "unit/desktop_fixture.h"
#include "windows/actions.h"
#include "windows/activation.h"
#include "windows/navigation.h"
#include "winsim/control.h"

namespace {

using vorntest::DesktopFixture;
using vorntest::FreshProcessStyle;
using vorntest::MdiFrame;
using vorntest::rectAt;

using Order = std::vector<HWND>;

// Five top-level windows stacked a (highest) to e; the one named is then
// cloaked by the shell, as for a window moved to another virtual desktop.
class CloakedWindowTest : public DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    a = createTopLevel(rectAt(100, 100, 300, 200));
    b = createTopLevel(rectAt(130, 130, 300, 200));
    c = createTopLevel(rectAt(160, 160, 300, 200));
    d = createTopLevel(rectAt(190, 190, 300, 200));
    e = createTopLevel(rectAt(220, 220, 300, 200));
    stackFromTop({a, b, c, d, e});
    ASSERT_TRUE(makeForeground(a));
    stackFromTop({a, b, c, d, e});
    winsimClearRecords();
  }

  void cloak(HWND window, DWORD reason = DWM_CLOAKED_SHELL) {
    ASSERT_EQ(1, winsimSetWindowCloaked(window, reason));
  }

  HWND a = NULL, b = NULL, c = NULL, d = NULL, e = NULL;
};

TEST_F(CloakedWindowTest, TheCloakIsReadFromTheDesktopWindowManager) {
  EXPECT_EQ(0, isCloakedWindow(b));
  cloak(b, DWM_CLOAKED_APP);
  EXPECT_EQ(1, isCloakedWindow(b));
  cloak(b, DWM_CLOAKED_INHERITED);
  EXPECT_EQ(1, isCloakedWindow(b));
  cloak(b, 0);
  EXPECT_EQ(0, isCloakedWindow(b));
  // A handle the window manager refuses is no cloaked window.
  EXPECT_EQ(0, isCloakedWindow((HWND)(uintptr_t)0x7FFF0001));
  EXPECT_GT(winsimDwmAttributeCallCount(), 0);
}

// Everything but the cloak is as for any window: only that keeps it out.
TEST_F(CloakedWindowTest, ACloakedWindowIsNeitherEligibleNorNormal) {
  cloak(c);
  ASSERT_TRUE(IsWindowVisible(c) && IsWindowEnabled(c));
  EXPECT_EQ(0, isEligibleWindow(c, GW_HWNDNEXT));
  EXPECT_EQ(0, isEligibleWindow(c, GW_HWNDPREV));
  EXPECT_EQ(0, isNormalWindow(c));
  EXPECT_EQ(1, isEligibleWindow(d, GW_HWNDNEXT));
  EXPECT_EQ(1, isNormalWindow(d));
}

TEST_F(CloakedWindowTest, WalksStepOverCloakedWindowsInBothDirections) {
  cloak(b);
  cloak(d);
  EXPECT_EQ(c, nextEligibleWindow(a, GW_HWNDNEXT));
  EXPECT_EQ(c, nextNormalWindow(a, GW_HWNDNEXT));
  EXPECT_EQ(c, nextEligibleWindow(e, GW_HWNDPREV));
  EXPECT_EQ(c, nextNormalWindow(e, GW_HWNDPREV));

  cloak(a);
  cloak(e);
  EXPECT_EQ(c, nextEligibleWindow(d, GW_HWNDFIRST));
  EXPECT_EQ(c, nextNormalWindow(d, GW_HWNDFIRST));
  EXPECT_EQ(c, nextEligibleWindow(a, GW_HWNDLAST));
  EXPECT_EQ(c, nextNormalWindow(a, GW_HWNDLAST));

  cloak(c);
  EXPECT_EQ(nullptr, nextEligibleWindow(a, GW_HWNDFIRST));
  EXPECT_EQ(nullptr, nextEligibleWindow(a, GW_HWNDLAST));
}

// A topmost window that is cloaked is passed over by the upward walks too,
// which otherwise accept topmost windows.
TEST_F(CloakedWindowTest, UpwardWalksPassOverACloakedTopmostWindow) {
  HWND topmost = createTopmost(rectAt(400, 100, 200, 200));
  ASSERT_EQ(topmost, GetWindow(a, GW_HWNDFIRST));
  EXPECT_EQ(topmost, nextEligibleWindow(a, GW_HWNDPREV));
  cloak(topmost);
  EXPECT_EQ(nullptr, nextEligibleWindow(a, GW_HWNDPREV));
}

TEST_F(CloakedWindowTest, IsTopOfZOrderIgnoresCloakedWindows) {
  cloak(a);
  // Nothing recorded: the highest window the user can see is the top.
  EXPECT_EQ(1, isTopOfZOrder(b));
  EXPECT_EQ(0, isTopOfZOrder(a));
  // A cloaked window is not the top even while it is the one activated
  // last, nor a cloaked topmost window.
  lastActivatedWindow = a;
  EXPECT_EQ(0, isTopOfZOrder(a));
  HWND topmost = createTopmost(rectAt(400, 100, 200, 200));
  lastActivatedWindow = NULL;
  EXPECT_EQ(1, isTopOfZOrder(topmost));
  cloak(topmost);
  EXPECT_EQ(0, isTopOfZOrder(topmost));
}

// "LowerAndSwitch" on A activates the highest window the user can see, not
// the cloaked B just below it (which would switch the virtual desktop).
TEST_F(CloakedWindowTest, LowerAndSwitchActivatesTheNextVisibleWindow) {
  cloak(b);
  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", a, POLICY_NONE, 0));
  EXPECT_EQ(c, GetForegroundWindow());
  for (int i = 0; i < winsimForegroundRecordCount(); ++i) {
    EXPECT_NE(b, winsimForegroundRecord(i)) << "call " << i;
  }
}

TEST_F(CloakedWindowTest, LikeAAltEscAndAltShiftEscPassOverCloakedWindows) {
  cloak(e);
  EXPECT_EQ(1, runNamedAction("LikeAAltShiftEsc", c, POLICY_NONE, 0));
  EXPECT_EQ(d, GetForegroundWindow());

  stackFromTop({a, b, c, d, e});
  ASSERT_TRUE(makeForeground(a));
  stackFromTop({a, b, c, d, e});
  cloak(a);
  cloak(b);
  // C is the top the user sees: Alt+Esc sends it back and activates D.
  EXPECT_EQ(1, runNamedAction("LikeAAltEsc", c, POLICY_NONE, 0));
  EXPECT_EQ(d, GetForegroundWindow());
  EXPECT_EQ(c, GetWindow(c, GW_HWNDLAST));
}

// With the Skip policy the walk for a normal window passes over cloaked
// ones as well.
TEST_F(CloakedWindowTest, SkippingAMinimisedWindowPassesOverCloakedOnes) {
  ShowWindow(b, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(b));
  cloak(c);
  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", a, POLICY_SKIP, 0));
  EXPECT_EQ(d, GetForegroundWindow());
}

// MDI documents are walked the same way.
TEST_F(CloakedWindowTest, MdiWalksPassOverCloakedDocuments) {
  MdiFrame frame = createMdiFrame(rectAt(50, 50, 600, 400));
  HWND first = createMdiChild(frame.client, rectAt(0, 0, 200, 150));
  HWND second = createMdiChild(frame.client, rectAt(20, 20, 200, 150));
  HWND third = createMdiChild(frame.client, rectAt(40, 40, 200, 150));
  stackFromTop({first, second, third});
  cloak(second, DWM_CLOAKED_INHERITED);
  EXPECT_EQ(third, nextEligibleWindow(first, GW_HWNDNEXT));
  EXPECT_EQ(first, nextEligibleWindow(third, GW_HWNDPREV));
}

// ---- ensureForegroundWindow's fallback -----------------------------------------

class NoForegroundCallsTest : public DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    ASSERT_TRUE(clearForeground());
    a = createTopLevel(rectAt(100, 100, 300, 200));
    b = createTopLevel(rectAt(130, 130, 300, 200));
    stackFromTop({a, b});
    ASSERT_EQ(nullptr, GetForegroundWindow());
    winsimClearRecords();
  }

  // The windows SetForegroundWindow was asked for since the last clear.
  static Order foregroundRequests() {
    Order requests;
    for (int i = 0; i < winsimForegroundRecordCount(); ++i) {
      requests.push_back(winsimForegroundRecord(i));
    }
    return requests;
  }

  HWND a = NULL, b = NULL;
};

// A dead handle is never handed to the system: one request, for A.
TEST_F(NoForegroundCallsTest, ADestroyedLastActivatedWindowIsNeverAskedFor) {
  HWND gone = createTopLevel(rectAt(190, 190, 300, 200));
  ASSERT_TRUE(DestroyWindow(gone));
  lastActivatedWindow = gone;
  winsimClearRecords();
  EXPECT_EQ(1, ensureForegroundWindow(b));
  EXPECT_EQ((Order{a}), foregroundRequests());
}

// Activating a cloaked window would switch the virtual desktop: the walk
// is made instead, and it passes over the cloaked A too.
TEST_F(NoForegroundCallsTest, ACloakedLastActivatedWindowIsPassedOver) {
  HWND c = createTopLevel(rectAt(160, 160, 300, 200));
  stackFromTop({a, b, c});
  ASSERT_EQ(1, winsimSetWindowCloaked(a, DWM_CLOAKED_SHELL));
  lastActivatedWindow = a;
  winsimClearRecords();
  EXPECT_EQ(1, ensureForegroundWindow(c));
  EXPECT_EQ((Order{b}), foregroundRequests());
}

TEST_F(NoForegroundCallsTest, ALiveLastActivatedWindowIsStillTheOneActivated) {
  lastActivatedWindow = b;
  EXPECT_EQ(1, ensureForegroundWindow(a));
  EXPECT_EQ((Order{b}), foregroundRequests());
}

// ---- commands given none ------------------------------------------------------------

TEST(CommandsGivenNone, ToggleMaximizePostsNothing) {
  winsimResetDesktop();
  winsimClearRecords();
  EXPECT_EQ(1, runNamedAction("ToggleMaximize", NULL, POLICY_NONE, 0));
  EXPECT_EQ(0, winsimCountMessages(NULL, WM_SYSCOMMAND, -1));
  EXPECT_EQ(0, winsimMessageRecordCount());
}

// ---- without the desktop window manager ---------------------------------------------
// The library looks dwmapi.dll up once per process, and this process has
// done so already: the case runs in a fresh copy of the test program.

class WithoutDwmapiTest : public CloakedWindowTest {
 protected:
  FreshProcessStyle style;
};

TEST_F(WithoutDwmapiTest, NothingIsCloakedAndTheWalksAreAsBefore) {
  EXPECT_EXIT(
      {
        winsimSetLibraryPresent("dwmapi.dll", FALSE);
        winsimSetWindowCloaked(b, DWM_CLOAKED_SHELL);
        fprintf(stderr, "cloaked=%d next=%s top=%d loads=%d\n", isCloakedWindow(b),
                nextEligibleWindow(a, GW_HWNDNEXT) == b ? "b" : "other", isTopOfZOrder(a),
                winsimLibraryLoadCount("dwmapi.dll"));
        winsimSetLibraryPresent("dwmapi.dll", TRUE);
        exit(0);
      },
      ::testing::ExitedWithCode(0), "cloaked=0 next=b top=1 loads=0");
}

// The DLL is loaded once, on the first walk that needs it, and kept.
TEST_F(WithoutDwmapiTest, TheDllIsLoadedOnceWhenAWalkFirstNeedsIt) {
  EXPECT_EXIT(
      {
        int before = winsimLibraryLoadCount("dwmapi.dll");
        for (int i = 0; i < 3; ++i) nextEligibleWindow(a, GW_HWNDNEXT);
        fprintf(stderr, "before=%d after=%d\n", before, winsimLibraryLoadCount("dwmapi.dll"));
        exit(0);
      },
      ::testing::ExitedWithCode(0), "before=0 after=1");
}

}  // namespace
