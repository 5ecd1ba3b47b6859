// Actions on a desktop whose top window belongs to another thread. Z-order
// moves of such a window are only requests until its thread runs, so the
// walks made right after a lowering still see the old order; these tests
// show what the actions do in that gap and after the thread has caught up.
//
// Host only: the gap needs a second GUI thread that does not pump its
// queue until the test says so. winsim's simulated threads give exactly
// that; the portable unit tests run on one thread, where every move applies
// at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "config/image_layout.h"
#include "unit/desktop_fixture.h"
#include "windows/actions.h"
#include "windows/last_activated_window.h"
#include "windows/navigation.h"
#include "winsim/control.h"

namespace {

using vorntest::DesktopFixture;
using vorntest::rectAt;

using Order = std::vector<HWND>;

// From the top: `foreign`, a window of another thread, then A and B of the
// test's thread; A is the foreground window.
class StaleOrderTest : public DesktopFixture {
 protected:
  void SetUp() override {
    winsimResetDesktop();
    DesktopFixture::SetUp();
    otherThread = winsimCreateThread();
    a = createTopLevel(rectAt(130, 130, 300, 200));
    b = createTopLevel(rectAt(160, 160, 300, 200));
    DWORD testThread = winsimSetCurrentThread(otherThread);
    foreign = createTopLevel(rectAt(100, 100, 300, 200));
    winsimSetCurrentThread(testThread);
    ASSERT_TRUE(makeForeground(a));
    stackFromTop({foreign, a, b});
    ASSERT_EQ((Order{foreign, a, b}), order());
    ASSERT_EQ(0, winsimPendingEventCount(otherThread));
    winsimClearRecords();
  }

  void TearDown() override {
    DesktopFixture::TearDown();
    winsimResetDesktop();
  }

  Order order() { return zOrderOf({foreign, a, b}); }

  // Lets the other thread carry out what was asked of it.
  void runOtherThread() { winsimRunThread(otherThread); }

  // How often SetForegroundWindow was asked for `window`.
  static int foregroundRequestsFor(HWND window) {
    int count = 0;
    for (int i = 0; i < winsimForegroundRecordCount(); ++i) {
      if (winsimForegroundRecord(i) == window) ++count;
    }
    return count;
  }

  void minimizeTopWindowFromTheBottom(int policy);

  DWORD otherThread = 0;
  HWND foreign = NULL, a = NULL, b = NULL;
};

TEST_F(StaleOrderTest, LoweringAnotherThreadsWindowWaitsForThatThread) {
  lowerWindow(foreign);

  EXPECT_EQ((Order{foreign, a, b}), order());
  EXPECT_EQ(foreign, nextEligibleWindow(foreign, GW_HWNDFIRST));
  EXPECT_GT(winsimPendingEventCount(otherThread), 0);

  runOtherThread();
  EXPECT_EQ((Order{a, b, foreign}), order());
}

// The top window is lowered and minimised; while its lowering is pending it
// still leads the z-order, and the window to activate is the one below it,
// never the top window itself.
void StaleOrderTest::minimizeTopWindowFromTheBottom(int policy) {
  stackFromTop({foreign, b, a});

  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", a, policy, 0));

  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_EQ(0, foregroundRequestsFor(foreign));
  EXPECT_EQ(1, winsimCountMessages(foreign, WM_SYSCOMMAND, WINSIM_POSTED));
  runOtherThread();
  EXPECT_TRUE(IsIconic(foreign));
  EXPECT_EQ(foreign, order().back());
  EXPECT_EQ(b, GetForegroundWindow());
}

TEST_F(StaleOrderTest, MinimizeTopWindowSwitchesToTheWindowBelowThePendingOne) {
  minimizeTopWindowFromTheBottom(POLICY_NONE);
}

TEST_F(StaleOrderTest, MinimizeTopWindowWithSkipSwitchesToTheWindowBelowThePendingOne) {
  minimizeTopWindowFromTheBottom(POLICY_SKIP);
}

TEST_F(StaleOrderTest, MinimizeTopWindowWithSkipStillPassesOverMinimisedWindows) {
  ShowWindow(a, SW_SHOWMINNOACTIVE);
  HWND clicked = createTopLevel(rectAt(300, 300, 100, 100));
  ASSERT_TRUE(makeForeground(clicked));
  stackFromTop({foreign, a, b, clicked});

  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", clicked, POLICY_SKIP, 0));

  // The walk below the pending window meets minimised A first; Skip then
  // goes on to the next normal window.
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_EQ(0, foregroundRequestsFor(foreign));
  EXPECT_TRUE(IsIconic(a));
}

// Below the top, LikeAAltEsc lowers the top window and activates what lies
// below it; that walk is made after the lowering, which for another
// thread's window has not yet happened.
TEST_F(StaleOrderTest, LikeAAltEscActivatesTheWindowThatWasBelowThePendingTop) {
  ASSERT_TRUE(makeForeground(b));
  stackFromTop({foreign, a, b});
  lastActivatedWindow = b;

  EXPECT_EQ(1, runNamedAction("LikeAAltEsc", b, POLICY_NONE, 0));

  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_EQ(a, order().front());
  runOtherThread();
  EXPECT_EQ((Order{a, b, foreign}), order());
  EXPECT_EQ(a, GetForegroundWindow());
}

// Without the fallback that lowerAndSwitchToOther has, LowerAndSwitch finds
// the pending window itself and brings it back: the lowering and the
// raising reach its thread in that order.
TEST_F(StaleOrderTest, LowerAndSwitchBringsBackAWindowWhoseLoweringIsPending) {
  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", foreign, POLICY_NONE, 0));

  runOtherThread();
  EXPECT_EQ(foreign, order().front());
  EXPECT_EQ(foreign, GetForegroundWindow());
  ASSERT_GE(winsimForegroundRecordCount(), 1);
  EXPECT_EQ(foreign, winsimForegroundRecord(winsimForegroundRecordCount() - 1));
}

}  // namespace
