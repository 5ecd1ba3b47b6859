// The named actions on live desktops: the table's names and results, and
// what each action does to the z-order, the foreground, minimised windows
// and MDI documents under each MinimizedPolicy.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>
#include <vector>

#include "config/image_layout.h"
#include "config/loader_state.h"
#include "support/caller_trace.h"
#include "support/expect_messages.h"
#include "unit/desktop_fixture.h"
#include "windows/actions.h"
#include "windows/activation.h"
#include "windows/last_activated_window.h"
#include "windows/navigation.h"
#include "windows/system_commands.h"

namespace {

using vorntest::DesktopFixture;
using vorntest::MdiFrame;
using vorntest::MSG_LPARAM;
using vorntest::MSG_WPARAM;
using vorntest::rectAt;

using Order = std::vector<HWND>;

// Three overlapping application windows A over B over C, A in the
// foreground: the desktop most actions are tried on.
class ActionTest : public DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    a = createTopLevel(rectAt(100, 100, 300, 200));
    b = createTopLevel(rectAt(130, 130, 300, 200));
    c = createTopLevel(rectAt(160, 160, 300, 200));
    stackFromTop({a, b, c});
    ASSERT_TRUE(makeForeground(a));
    clearMessageLog();
  }

  Order order() { return zOrderOf({a, b, c}); }

  void minimize(HWND window) {
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(window));
  }

  // The next window B is minimised, and A, the foreground window, is sent to
  // the back by "LowerAndSwitch" under `policy`.
  void lowerAndSwitchOntoMinimizedWindow(int policy) {
    minimize(b);
    ASSERT_TRUE(makeForeground(a));
    clearMessageLog();
    EXPECT_EQ(1, runNamedAction("LowerAndSwitch", a, policy, 0));
  }

  HWND a = NULL, b = NULL, c = NULL;
};

// ---- the table ----------------------------------------------------------------

TEST_F(ActionTest, NamesThatRunNothingDoNothingAndPassTheClickOn) {
  const char *names[] = {
      "",      "Through", "ThroughWithNoActivate", "lowerandswitch", "LowerAndSwitch ",
      "Lower", "NOACTION"};
  for (const char *name : names) {
    EXPECT_EQ(0, runNamedAction(name, a, POLICY_NONE, 0)) << '"' << name << '"';
  }
  EXPECT_EQ(0, runNamedAction(NULL, a, POLICY_NONE, 0));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ((Order{a, b, c}), order());
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_TRUE(messageLog.empty());
}

TEST_F(ActionTest, NoActionSwallowsAndDefaultPassesWithoutChangingAnything) {
  EXPECT_EQ(1, runNamedAction("NoAction", b, POLICY_SKIP, 0));
  EXPECT_EQ(0, runNamedAction("Default", b, POLICY_SKIP, 0));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ((Order{a, b, c}), order());
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_TRUE(messageLog.empty());
}

TEST_F(ActionTest, EveryRowGivesItsFixedResult) {
  struct Row {
    const char *name;
    int result;
    int doesSomething;
  };
  const Row rows[] = {
      {"LowerAndSwitch", 1, 1},
      {"MinimizeOrLower", 1, 1},
      {"LikeAAltEsc", 1, 1},
      {"LikeAAltShiftEsc", 1, 1},
      {"MinimizeTopWindow", 1, 1},
      {"ToggleMaximize", 1, 1},
      {"MinimizeAll", 1, 1},
      {"RestoreMinimizeAll", 1, 1},
      {"ShowDesktop", 1, 1},
      {"Activate", 1, 1},
      {"ActivateAndDefault", 0, 1},
      {"RaiseAndDefault", 0, 1},
      {"CancelMOUSEDOWN", 1, 1},
      {"NoAction", 1, 0},
      {"Default", 0, 0},
      {"Through", 0, 0},
      {"ThroughWithNoActivate", 0, 0},
  };
  // On none every row changes nothing and still gives its result.
  for (const Row &row : rows) {
    EXPECT_EQ(row.result, runNamedAction(row.name, NULL, POLICY_NONE, 0)) << row.name;
    EXPECT_EQ(row.doesSomething, actionDoesSomething(findAction(row.name))) << row.name;
  }
  EXPECT_EQ(0, actionDoesSomething(NO_ACTION));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(a, GetForegroundWindow());
}

// runAction reads the name from this process's image, and never past it.
class ImageNamedActionTest : public ActionTest {
 protected:
  void SetUp() override {
    ActionTest::SetUp();
    savedHeader = imageHeader;
    savedBase = imageBase;
    savedSize = imageSize;
    memset(image, 0, sizeof image);
    memcpy(image + NO_ACTION_AT, "NoAction", 9);
    memcpy(image + DEFAULT_AT, "Default", 8);
    memcpy(image + UNTERMINATED_AT, "NoActionNoAction", 16);  // runs to the end
    imageBase = image;
    imageHeader = image;
    imageSize = sizeof image;
  }

  void TearDown() override {
    imageHeader = savedHeader;
    imageBase = savedBase;
    imageSize = savedSize;
    ActionTest::TearDown();
  }

  static constexpr ImageOffset NO_ACTION_AT = IMAGE_HEADER_SIZE;
  static constexpr ImageOffset DEFAULT_AT = IMAGE_HEADER_SIZE + 16;
  static constexpr ImageOffset UNTERMINATED_AT = IMAGE_HEADER_SIZE + 32;
  unsigned char image[IMAGE_HEADER_SIZE + 48];
  const unsigned char *savedHeader = NULL;
  unsigned char *savedBase = NULL;
  uint32_t savedSize = 0;
};

TEST_F(ImageNamedActionTest, NamesAreResolvedInTheImage) {
  EXPECT_EQ(1, runAction(NO_ACTION_AT, a, POLICY_NONE, 0));
  EXPECT_EQ(0, runAction(DEFAULT_AT, a, POLICY_NONE, 0));
  EXPECT_EQ(0, runAction(NO_ACTION_AT + 2, a, POLICY_NONE, 0));  // "Action": no row
}

TEST_F(ImageNamedActionTest, NoneAndOffsetsOutsideTheImageGiveZero) {
  EXPECT_EQ(0, runAction(NO_OFFSET, a, POLICY_NONE, 0));
  EXPECT_EQ(0, runAction((ImageOffset)sizeof image, a, POLICY_NONE, 0));
  EXPECT_EQ(0, runAction(0x7FFFFFF0, a, POLICY_NONE, 0));
  EXPECT_EQ(0, runAction(UNTERMINATED_AT, a, POLICY_NONE, 0));
  imageHeader = NULL;
  imageBase = NULL;
  EXPECT_EQ(0, runAction(NO_ACTION_AT, a, POLICY_NONE, 0));
}

// Desktops built by the test itself.
class SparseDesktopActionTest : public DesktopFixture {};

// ---- LowerAndSwitch and MinimizeOrLower ----------------------------------------

TEST_F(ActionTest, LowerAndSwitchActivatesTheNextWindow) {
  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", a, POLICY_NONE, 0));
  EXPECT_EQ((Order{b, c, a}), order());
  EXPECT_TRUE(isLowestVisible(a));
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == b; }));
}

TEST_F(ActionTest, LowerAndSwitchOnMinimisedNextWindowWithoutPolicyActivatesItMinimised) {
  lowerAndSwitchOntoMinimizedWindow(POLICY_NONE);
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_EQ((Order{b, c, a}), order());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(b));
  EXPECT_EQ(0, countSystemCommands(b, SC_RESTORE));
}

TEST_F(ActionTest, LowerAndSwitchWithSkipActivatesTheNextNormalWindow) {
  lowerAndSwitchOntoMinimizedWindow(POLICY_SKIP);
  EXPECT_EQ(c, GetForegroundWindow());
  EXPECT_EQ((Order{c, b, a}), order());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(b));
}

TEST_F(ActionTest, LowerAndSwitchWithRestoreOnlyAsksTheMinimisedWindowToRestore) {
  lowerAndSwitchOntoMinimizedWindow(POLICY_RESTORE);
  // Nothing is activated or raised by the action itself.
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_EQ((Order{b, c, a}), order());
  EXPECT_TRUE(IsIconic(b));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(1, countSystemCommands(b, SC_RESTORE));
  EXPECT_FALSE(IsIconic(b));
}

// Skip walks on from a minimised window with the normal test, so a run of
// minimised windows is passed over whole.
TEST_F(ActionTest, SkipPassesOverSeveralMinimisedWindowsInARow) {
  HWND d = createTopLevel(rectAt(190, 190, 300, 200));
  stackFromTop({a, b, c, d});
  minimize(b);
  minimize(c);
  ASSERT_TRUE(makeForeground(a));
  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", a, POLICY_SKIP, 0));
  EXPECT_EQ(d, GetForegroundWindow());
  EXPECT_TRUE(isHighestVisible(d));
  EXPECT_TRUE(IsIconic(b) && IsIconic(c));
}

TEST_F(ActionTest, MinimizeOrLowerMinimisesAfterSwitching) {
  EXPECT_EQ(1, runNamedAction("MinimizeOrLower", a, POLICY_NONE, 0));
  EXPECT_TRUE(pumpUntil([&] { return IsIconic(a) != 0; }));
  EXPECT_EQ(1, countSystemCommands(a, SC_MINIMIZE));
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_TRUE(isHighestVisible(b));
}

class MinimizeRefusalTest : public ActionTest {
 protected:
  // Runs "MinimizeOrLower" on `window` (the foreground window, above B) and
  // checks that it is lowered, B activated, and no minimise asked for.
  void expectLoweredNotMinimized(HWND window, CALLER_PARAMETERS) {
    TRACE_CALLER();
    stackFromTop({window, b, c});
    ASSERT_TRUE(makeForeground(window));
    clearMessageLog();
    EXPECT_EQ(1, runNamedAction("MinimizeOrLower", window, POLICY_NONE, 0));
    EXPECT_TRUE(flushPostedMessages());
    EXPECT_EQ(0, countSystemCommands(window, SC_MINIMIZE));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ((Order{b, c, window}), zOrderOf({window, b, c}));
    EXPECT_EQ(b, GetForegroundWindow());
  }
};

TEST_F(MinimizeRefusalTest, ToolWindowIsNotMinimised) {
  expectLoweredNotMinimized(createToolWindow(rectAt(100, 100, 200, 150), WS_EX_APPWINDOW));
}

// A popup is its own root when nothing owns it.
TEST_F(MinimizeRefusalTest, PopupWindowIsNotMinimised) {
  expectLoweredNotMinimized(createPopup(NULL, rectAt(620, 120, 200, 150)));
}

TEST_F(MinimizeRefusalTest, WindowOfAHiddenRootIsNotMinimised) {
  HWND hiddenOwner = createTopLevel(rectAt(0, 0, 100, 100), TOP_LEVEL_STYLE & ~WS_VISIBLE);
  expectLoweredNotMinimized(createPopup(hiddenOwner, rectAt(100, 100, 200, 150)));
}

TEST_F(MinimizeRefusalTest, DialogOfADisabledRootIsNotMinimised) {
  HWND owner = createTopLevel(rectAt(0, 0, 300, 300));
  HWND dialog = createPopup(owner, rectAt(100, 100, 200, 150));
  EnableWindow(owner, FALSE);
  expectLoweredNotMinimized(dialog);
}

// The style test is made on the root of the chain, the tool-window test on
// the window itself.
class MinimizeTestsTest : public ActionTest {
 protected:
  int minimizeRequestsFor(HWND window) {
    clearMessageLog();
    minimizeIfAllowed(window);
    EXPECT_TRUE(flushPostedMessages());
    return countSystemCommands(window, SC_MINIMIZE);
  }
};

TEST_F(MinimizeTestsTest, ToolWindowOfANormalRootIsNotMinimised) {
  HWND palette = createPopup(a, rectAt(500, 100, 150, 100), POPUP_STYLE, WS_EX_TOOLWINDOW);
  EXPECT_EQ(0, minimizeRequestsFor(palette));
}

TEST_F(MinimizeTestsTest, PopupOfANormalRootIsMinimised) {
  HWND palette = createPopup(a, rectAt(500, 100, 150, 100));
  EXPECT_EQ(1, minimizeRequestsFor(palette));
}

TEST_F(MinimizeTestsTest, PopupOfAToolWindowRootIsMinimised) {
  HWND tool = createToolWindow(rectAt(600, 300, 200, 150));
  HWND palette = createPopup(tool, rectAt(500, 100, 150, 100));
  EXPECT_EQ(1, minimizeRequestsFor(palette));
}

TEST_F(MinimizeTestsTest, DocumentOfAPopupFrameIsNotMinimised) {
  MdiFrame mdi = createMdiFrame(rectAt(50, 50, 500, 400), POPUP_STYLE);
  HWND document = createMdiChild(mdi.client, rectAt(0, 0, 200, 150));
  EXPECT_EQ(0, minimizeRequestsFor(document));
}

// ---- MDI documents --------------------------------------------------------------

// An MDI frame in the foreground with documents first, second and third,
// first on top and active.
class MdiActionTest : public DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    other = createTopLevel(rectAt(600, 100, 300, 200));
    mdi = createMdiFrame(rectAt(50, 50, 500, 400));
    third = createMdiChild(mdi.client, rectAt(40, 40, 200, 150));
    second = createMdiChild(mdi.client, rectAt(20, 20, 200, 150));
    first = createMdiChild(mdi.client, rectAt(0, 0, 200, 150));
    stackFromTop({mdi.frame, other});
    ASSERT_TRUE(makeForeground(mdi.frame));
    ASSERT_EQ(first, activeMdiChild(mdi.client));
    ASSERT_EQ((Order{first, second, third}), documents());
    clearMessageLog();
  }

  Order documents() { return zOrderOf({first, second, third}); }

  // Minimises `document` and leaves the documents stacked first, second,
  // third with first active, whatever the MDI client made of the change.
  void minimizeDocument(HWND document) {
    PostMessageA(document, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(flushPostedMessages());
    ASSERT_TRUE(IsIconic(document));
    SendMessageA(mdi.client, WM_MDIACTIVATE, (WPARAM)first, 0);
    stackFromTop({first, second, third});
    ASSERT_EQ(first, activeMdiChild(mdi.client));
    clearMessageLog();
  }

  HWND other = NULL, first = NULL, second = NULL, third = NULL;
  MdiFrame mdi = {NULL, NULL};
};

TEST_F(MdiActionTest, LowerAndSwitchActivatesTheNextDocument) {
  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", first, POLICY_NONE, 1));
  EXPECT_EQ(1u, messagesTo(second, WM_CHILDACTIVATE).size());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(second, activeMdiChild(mdi.client));
  EXPECT_EQ(second, documents().front());
  EXPECT_EQ(first, documents().back());
  EXPECT_EQ(mdi.frame, GetForegroundWindow());
}

TEST_F(MdiActionTest, SkipStepsOverEveryMinimisedDocument) {
  minimizeDocument(second);

  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", first, POLICY_SKIP, 1));

  EXPECT_TRUE(messagesTo(second, WM_CHILDACTIVATE).empty());
  EXPECT_EQ(1u, messagesTo(third, WM_CHILDACTIVATE).size());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(third, activeMdiChild(mdi.client));
  EXPECT_TRUE(IsIconic(second));
}

// With every document below minimised, the walk ends at the lowered one: it
// is the only document Skip can land on.
TEST_F(MdiActionTest, SkipWithAllLowerDocumentsMinimisedRestoresNone) {
  minimizeDocument(second);
  minimizeDocument(third);

  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", first, POLICY_SKIP, 1));

  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(messagesTo(second, WM_CHILDACTIVATE).empty());
  EXPECT_TRUE(messagesTo(third, WM_CHILDACTIVATE).empty());
  EXPECT_EQ(0, countSystemCommands(second, SC_RESTORE) + countSystemCommands(third, SC_RESTORE));
  EXPECT_TRUE(IsIconic(second));
  EXPECT_TRUE(IsIconic(third));
  EXPECT_EQ(first, activeMdiChild(mdi.client));
}

TEST_F(MdiActionTest, SkipFromAMinimisedDocumentWithNothingBelowActivatesNothing) {
  minimizeDocument(second);
  minimizeDocument(third);

  activateMdiChild(second, GW_HWNDNEXT, POLICY_SKIP);

  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(messagesTo(first, WM_CHILDACTIVATE).empty());
  EXPECT_TRUE(messagesTo(second, WM_CHILDACTIVATE).empty());
  EXPECT_TRUE(messagesTo(third, WM_CHILDACTIVATE).empty());
  EXPECT_EQ((Order{first, second, third}), documents());
  EXPECT_EQ(first, activeMdiChild(mdi.client));
}

TEST_F(MdiActionTest, NoPolicyActivatesAMinimisedDocumentAsItIs) {
  minimizeDocument(second);

  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", first, POLICY_NONE, 1));

  EXPECT_EQ(1u, messagesTo(second, WM_CHILDACTIVATE).size());
  EXPECT_EQ(second, documents().front());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(second));
}

TEST_F(MdiActionTest, RestorePolicyOnlyAsksTheDocumentToRestore) {
  minimizeDocument(second);

  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", first, POLICY_RESTORE, 1));

  EXPECT_TRUE(messagesTo(second, WM_CHILDACTIVATE).empty());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(1, countSystemCommands(second, SC_RESTORE));
  EXPECT_FALSE(IsIconic(second));
}

TEST_F(MdiActionTest, MinimizeOrLowerMinimisesTheDocument) {
  EXPECT_EQ(1, runNamedAction("MinimizeOrLower", first, POLICY_NONE, 1));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(1, countSystemCommands(first, SC_MINIMIZE));
  EXPECT_TRUE(IsIconic(first));
  EXPECT_EQ(second, activeMdiChild(mdi.client));
}

TEST_F(MdiActionTest, ActivatePostsToTheClientAndLeavesTheForeground) {
  ASSERT_TRUE(makeForeground(other));
  clearMessageLog();

  EXPECT_EQ(1, runNamedAction("Activate", third, POLICY_NONE, 1));
  EXPECT_EQ(0, runNamedAction("ActivateAndDefault", second, POLICY_NONE, 1));

  // Only requests so far: nothing raised, nothing activated.
  EXPECT_EQ(other, GetForegroundWindow());
  EXPECT_EQ((Order{first, second, third}), documents());
  EXPECT_EQ(first, activeMdiChild(mdi.client));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(second, activeMdiChild(mdi.client));
  EXPECT_FALSE(messagesTo(third, WM_MDIACTIVATE).empty());
  EXPECT_EQ(other, GetForegroundWindow());
}

// Raising and maximising do not care whether the window is a document.
TEST_F(MdiActionTest, RaiseAndToggleMaximizeWorkOnTheDocumentItself) {
  EXPECT_EQ(0, runNamedAction("RaiseAndDefault", third, POLICY_NONE, 1));
  EXPECT_EQ(third, documents().front());
  EXPECT_TRUE(messagesTo(third, WM_CHILDACTIVATE).empty());
  EXPECT_EQ(first, activeMdiChild(mdi.client));

  EXPECT_EQ(1, runNamedAction("ToggleMaximize", first, POLICY_NONE, 1));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsZoomed(first));
}

// ---- LikeAAltEsc ------------------------------------------------------------------

TEST_F(ActionTest, LikeAAltEscOnTheTopWindowLowersAndSwitches) {
  EXPECT_EQ(1, runNamedAction("LikeAAltEsc", a, POLICY_NONE, 0));
  EXPECT_EQ((Order{b, c, a}), order());
  EXPECT_EQ(b, GetForegroundWindow());
}

TEST_F(ActionTest, LikeAAltEscWhileATopmostWindowWasActivatedOnlyMovesTheForeground) {
  HWND topmost = createTopmost(rectAt(700, 100, 200, 200));
  ASSERT_TRUE(makeForeground(topmost));
  lastActivatedWindow = topmost;
  minimize(a);
  stackFromTop({a, b, c});
  clearMessageLog();

  EXPECT_EQ(1, runNamedAction("LikeAAltEsc", b, POLICY_SKIP, 0));

  EXPECT_EQ(a, GetForegroundWindow());  // minimised, and no policy applied
  EXPECT_EQ((Order{a, b, c}), order());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(a));
  EXPECT_EQ(0, countSystemCommands(a, SC_RESTORE));
}

// The top window belongs to this thread, so lowering it takes effect at
// once; the walk from it afterwards finds nothing below it.
TEST_F(ActionTest, LikeAAltEscBelowTheTopLowersTheTopWindowOnly) {
  lastActivatedWindow = c;

  EXPECT_EQ(1, runNamedAction("LikeAAltEsc", b, POLICY_NONE, 0));

  EXPECT_EQ((Order{b, c, a}), order());
  EXPECT_EQ(a, GetForegroundWindow());
}

// ---- LikeAAltShiftEsc ---------------------------------------------------------------

TEST_F(ActionTest, LikeAAltShiftEscActivatesTheLowestWindow) {
  EXPECT_EQ(1, runNamedAction("LikeAAltShiftEsc", a, POLICY_NONE, 0));
  EXPECT_EQ(c, GetForegroundWindow());
  EXPECT_EQ((Order{c, a, b}), order());
}

TEST_F(ActionTest, LikeAAltShiftEscOnMinimisedLowestWindowFollowsThePolicy) {
  minimize(c);
  ASSERT_TRUE(makeForeground(a));

  runNamedAction("LikeAAltShiftEsc", a, POLICY_NONE, 0);
  EXPECT_EQ(c, GetForegroundWindow());
  EXPECT_EQ(c, order().front());
  EXPECT_TRUE(IsIconic(c));

  stackFromTop({a, b, c});
  ASSERT_TRUE(makeForeground(a));
  runNamedAction("LikeAAltShiftEsc", a, POLICY_SKIP, 0);
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_EQ((Order{b, a, c}), order());

  stackFromTop({a, b, c});
  ASSERT_TRUE(makeForeground(a));
  clearMessageLog();
  runNamedAction("LikeAAltShiftEsc", a, POLICY_RESTORE, 0);
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(1, countSystemCommands(c, SC_RESTORE));
  EXPECT_FALSE(IsIconic(c));
}

// ---- MinimizeTopWindow ----------------------------------------------------------------

TEST_F(ActionTest, MinimizeTopWindowOnTheTopWindowMinimisesIt) {
  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", a, POLICY_NONE, 0));
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(a));
}

TEST_F(ActionTest, MinimizeTopWindowBelowTheTopMinimisesTheTopWindow) {
  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", c, POLICY_NONE, 0));
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(a));
  EXPECT_FALSE(IsIconic(c));
  EXPECT_EQ(0, countSystemCommands(c, SC_MINIMIZE));
  EXPECT_EQ((Order{b, c, a}), order());
}

TEST_F(ActionTest, MinimizeTopWindowWithSkipActivatesANormalWindow) {
  minimize(b);
  stackFromTop({a, b, c});
  ASSERT_TRUE(makeForeground(a));

  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", c, POLICY_SKIP, 0));

  EXPECT_EQ(c, GetForegroundWindow());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(a));
  EXPECT_TRUE(IsIconic(b));
}

TEST_F(ActionTest, MinimizeTopWindowWithoutAnyNormalWindowChangesNothing) {
  minimize(a);
  minimize(b);
  minimize(c);
  stackFromTop({a, b, c});
  HWND foreground = GetForegroundWindow();
  clearMessageLog();

  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", b, POLICY_NONE, 0));

  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ((Order{a, b, c}), order());
  EXPECT_EQ(foreground, GetForegroundWindow());
  EXPECT_TRUE(messageLog.empty());
}

TEST_F(SparseDesktopActionTest, LowerAndSwitchOnTheOnlyWindowBringsItBack) {
  HWND only = createTopLevel(rectAt(100, 100, 300, 200));
  HWND palette = createToolWindow(rectAt(500, 100, 100, 200));
  stackFromTop({only, palette});
  ASSERT_TRUE(makeForeground(only));

  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", only, POLICY_SKIP, 0));

  EXPECT_TRUE(isHighestVisible(only));
  EXPECT_EQ(only, GetForegroundWindow());
}

// The only normal window stays the highest eligible one after it has been
// lowered; switching to another window then finds none below it, and the
// window is minimised without being activated first.
TEST_F(SparseDesktopActionTest, MinimizeTopWindowFromATopmostWindowNeverReactivatesTheTop) {
  HWND topmost = createTopmost(rectAt(600, 100, 200, 200));
  HWND only = createTopLevel(rectAt(100, 100, 300, 200));
  ASSERT_TRUE(makeForeground(topmost));
  clearMessageLog();

  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", topmost, POLICY_NONE, 0));

  EXPECT_EQ(topmost, GetForegroundWindow());
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(only));
  EXPECT_FALSE(IsIconic(topmost));
  EXPECT_EQ(topmost, GetForegroundWindow());
}

// Under Skip the window to switch to is looked for among normal windows
// only: with the lowered window the last normal one, none is found, even
// though a minimised window lies below it.
TEST_F(SparseDesktopActionTest, MinimizeTopWindowWithSkipFindsNoOtherNormalWindow) {
  HWND topmost = createTopmost(rectAt(600, 100, 200, 200));
  HWND only = createTopLevel(rectAt(100, 100, 300, 200));
  HWND minimized = createTopLevel(rectAt(130, 130, 300, 200));
  ShowWindow(minimized, SW_SHOWMINNOACTIVE);
  stackFromTop({only, minimized});
  ASSERT_TRUE(makeForeground(topmost));
  clearMessageLog();

  EXPECT_EQ(1, runNamedAction("MinimizeTopWindow", topmost, POLICY_SKIP, 0));

  EXPECT_EQ(topmost, GetForegroundWindow());
  EXPECT_EQ((Order{minimized, only}), zOrderOf({only, minimized}));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsIconic(only));
  EXPECT_EQ(topmost, GetForegroundWindow());
}

// ---- ToggleMaximize ----------------------------------------------------------------

TEST_F(ActionTest, ToggleMaximizeMaximisesAndRestores) {
  EXPECT_EQ(1, runNamedAction("ToggleMaximize", b, POLICY_NONE, 0));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(IsZoomed(b));

  EXPECT_EQ(1, runNamedAction("ToggleMaximize", b, POLICY_NONE, 0));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_FALSE(IsZoomed(b));
  EXPECT_EQ(1, countSystemCommands(b, SC_MAXIMIZE));
  EXPECT_EQ(1, countSystemCommands(b, SC_RESTORE));
}

TEST_F(ActionTest, ToggleMaximizeLeavesAPopupUnlessItIsMaximised) {
  HWND popup = createPopup(a, rectAt(200, 200, 200, 150));

  EXPECT_EQ(1, runNamedAction("ToggleMaximize", popup, POLICY_NONE, 0));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_TRUE(messagesTo(popup, WM_SYSCOMMAND).empty());
  EXPECT_FALSE(IsZoomed(popup));

  ShowWindow(popup, SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(popup));
  EXPECT_EQ(1, runNamedAction("ToggleMaximize", popup, POLICY_NONE, 0));
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ(1, countSystemCommands(popup, SC_RESTORE));
  EXPECT_FALSE(IsZoomed(popup));
}

// Posted to none, WM_SYSCOMMAND would turn into a message to the thread
// that runs the hook: nothing of the kind may arrive, nor anything at all
// for a window.
TEST_F(ActionTest, ToggleMaximizeGivenNonePostsNothing) {
  EXPECT_EQ(1, runNamedAction("ToggleMaximize", NULL, POLICY_NONE, 0));
  int threadCommands = 0;
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.hwnd == NULL && msg.message == WM_SYSCOMMAND) ++threadCommands;
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(0, threadCommands);
  EXPECT_TRUE(flushPostedMessages());
  for (HWND window : {a, b, c}) EXPECT_TRUE(messagesTo(window, WM_SYSCOMMAND).empty());
  EXPECT_FALSE(IsZoomed(a) || IsZoomed(b) || IsZoomed(c));
}

// ---- Activate, ActivateAndDefault, RaiseAndDefault ------------------------------------

// Records, for windows of its class, the raises that do not activate
// (WM_WINDOWPOSCHANGING with SWP_NOACTIVATE, lParam the flags that tell
// it) and the activations, in the order they arrive.
class ActivationOrderTest : public ActionTest {
 protected:
  static constexpr const char *ORDER_CLASS = "vornOrderProbe";

  void SetUp() override {
    ActionTest::SetUp();
    registerClass(ORDER_CLASS, orderWindowProc);
    orderLog().clear();
  }

  void TearDown() override {
    ActionTest::TearDown();
    UnregisterClassA(ORDER_CLASS, instance());
  }

  static vorntest::MessageLog &orderLog() {
    static vorntest::MessageLog log;
    return log;
  }

  static LRESULT CALLBACK orderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING && (((WINDOWPOS *)lParam)->flags & SWP_NOACTIVATE)) {
      orderLog().record(window, message, 0, SWP_NOACTIVATE);
    }
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
      orderLog().record(window, message, LOWORD(wParam), 0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
};

// "Activate" raises the window first and then makes it the foreground
// window; activating the next window after a lowering goes the other way.
TEST_F(ActivationOrderTest, ActivateRaisesBeforeAskingForTheForeground) {
  HWND probe = createWindow(0, TOP_LEVEL_STYLE, rectAt(200, 200, 300, 200), NULL, ORDER_CLASS);
  stackFromTop({a, b, c, probe});
  ASSERT_TRUE(makeForeground(a));
  orderLog().clear();
  EXPECT_EQ(1, runNamedAction("Activate", probe, POLICY_NONE, 0));
  EXPECT_MESSAGES(orderLog().all(), {{probe, WM_WINDOWPOSCHANGING, MSG_LPARAM, 0, SWP_NOACTIVATE},
                                     {probe, WM_ACTIVATE, MSG_WPARAM, WA_ACTIVE, 0}});

  stackFromTop({a, probe, b, c});
  ASSERT_TRUE(makeForeground(a));
  orderLog().clear();
  EXPECT_EQ(1, runNamedAction("LowerAndSwitch", a, POLICY_NONE, 0));
  EXPECT_MESSAGES(orderLog().all(), {{probe, WM_ACTIVATE, MSG_WPARAM, WA_ACTIVE, 0},
                                     {probe, WM_WINDOWPOSCHANGING, MSG_LPARAM, 0, SWP_NOACTIVATE}});
}

TEST_F(ActionTest, ActivateRaisesAndActivates) {
  EXPECT_EQ(1, runNamedAction("Activate", c, POLICY_NONE, 0));
  EXPECT_EQ(c, GetForegroundWindow());
  EXPECT_EQ((Order{c, a, b}), order());

  EXPECT_EQ(0, runNamedAction("ActivateAndDefault", b, POLICY_NONE, 0));
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_EQ((Order{b, c, a}), order());
}

TEST_F(ActionTest, RaiseAndDefaultRaisesWithoutActivating) {
  EXPECT_EQ(0, runNamedAction("RaiseAndDefault", c, POLICY_NONE, 0));
  EXPECT_EQ((Order{c, a, b}), order());
  EXPECT_EQ(a, GetForegroundWindow());
}

// ---- CancelMOUSEDOWN --------------------------------------------------------------

TEST_F(ActionTest, CancelMouseDownWithAForegroundWindowChangesNothing) {
  lastActivatedWindow = c;
  EXPECT_EQ(1, runNamedAction("CancelMOUSEDOWN", b, POLICY_NONE, 0));
  EXPECT_EQ(1, ensureForegroundWindow(b));
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_EQ((Order{a, b, c}), order());
}

// A desktop whose foreground window has gone away and left no successor.
class NoForegroundTest : public DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    ASSERT_TRUE(clearForeground());
    a = createTopLevel(rectAt(100, 100, 300, 200));
    b = createTopLevel(rectAt(130, 130, 300, 200));
    stackFromTop({a, b});
    ASSERT_EQ(nullptr, GetForegroundWindow());
  }

  HWND a = NULL, b = NULL;
};

TEST_F(NoForegroundTest, CancelMouseDownActivatesTheLastActivatedWindow) {
  lastActivatedWindow = b;
  EXPECT_EQ(1, runNamedAction("CancelMOUSEDOWN", a, POLICY_NONE, 0));
  EXPECT_EQ(b, GetForegroundWindow());
}

TEST_F(NoForegroundTest, CancelMouseDownFallsBackPastMinimisedWindows) {
  HWND c = createTopLevel(rectAt(160, 160, 300, 200));
  stackFromTop({a, b, c});
  ShowWindow(a, SW_SHOWMINNOACTIVE);
  ShowWindow(b, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(a) && IsIconic(b));
  ASSERT_EQ(nullptr, GetForegroundWindow());
  EXPECT_EQ(1, runNamedAction("CancelMOUSEDOWN", a, POLICY_NONE, 0));
  EXPECT_EQ(c, GetForegroundWindow());
}

// A last activated window destroyed since it was recorded is as good as
// none: the highest normal window is activated instead of a dead handle.
TEST_F(NoForegroundTest, CancelMouseDownPassesOverADestroyedLastActivatedWindow) {
  HWND gone = createTopLevel(rectAt(190, 190, 300, 200));
  ASSERT_TRUE(DestroyWindow(gone));
  ASSERT_FALSE(IsWindow(gone));
  lastActivatedWindow = gone;
  EXPECT_EQ(1, runNamedAction("CancelMOUSEDOWN", b, POLICY_NONE, 0));
  EXPECT_EQ(a, GetForegroundWindow());
}

TEST_F(NoForegroundTest, CancelMouseDownFallsBackToTheHighestNormalWindow) {
  EXPECT_EQ(1, runNamedAction("CancelMOUSEDOWN", b, POLICY_NONE, 0));
  EXPECT_EQ(a, GetForegroundWindow());
}

// ---- the shell's key shortcuts --------------------------------------------------------

class KeyStrokeTest : public ActionTest {
 protected:
  void expectChord(const char *action, const char *trace, std::vector<int> keys,
                   CALLER_PARAMETERS) {
    TRACE_CALLER();
    clearMessageLog();
    EXPECT_EQ(1, runNamedAction(action, b, POLICY_NONE, 0)) << action;
    for (int key : keys) {
      EXPECT_EQ(0, GetAsyncKeyState(key) & 0x8000) << action << " left key " << key << " down";
    }
    size_t strokes = keys.size() * 2;
    EXPECT_TRUE(pumpUntil([&] { return keyMessageCount() >= strokes; })) << action;
    EXPECT_EQ(trace, keyMessageTrace()) << action;
  }

  size_t keyMessageCount() {
    return messagesTo(a, WM_KEYDOWN).size() + messagesTo(a, WM_KEYUP).size() +
           messagesTo(a, WM_SYSKEYDOWN).size() + messagesTo(a, WM_SYSKEYUP).size();
  }
};

// The keys reach the focus window, where their order can be seen; the
// shell's own reaction to them is not part of the action.
TEST_F(KeyStrokeTest, ChordsArePressedInOrderAndReleasedInReverse) {
  expectChord("MinimizeAll", "down 5B, down 4D, up 4D, up 5B", {VK_LWIN, 'M'});
  expectChord("RestoreMinimizeAll", "down 5B, down 10, down 4D, up 4D, up 10, up 5B",
              {VK_LWIN, VK_SHIFT, 'M'});
  expectChord("ShowDesktop", "down 5B, down 44, up 44, up 5B", {VK_LWIN, 'D'});
}

}  // namespace
