// What the hook path costs and whom it calls, seen through winsim's records.
// Host only: Windows offers no way to count the heap allocations made
// around a call or a process's GetClassNameA calls, and outside a real hook
// chain it gives no sign of a hook procedure's calls to CallNextHookEx.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "config/loader_state.h"
#include "hooks/hook_state.h"
#include "hooks/rule_evaluation.h"
#include "hooks/xmouse_mask.h"
#include "support/maximal_match.h"
#include "unit/dispatch_fixture.h"
#include "unit/mouse_hook_scenarios.h"
#include "vorn.h"
#include "winsim/control.h"

// The sanitizer runtime counts every allocation for us; GCC ships its
// entry point without the header that declares it.
#if defined(__SANITIZE_ADDRESS__)
#define VORN_COUNTS_ALLOCATIONS 1
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void *,
                                                                            size_t),
                                                         void (*freeHook)(const volatile void *));
#else
#define VORN_COUNTS_ALLOCATIONS 0
#endif

namespace {

using vorntest::DispatchFixture;
using vorntest::MouseScenarioTest;
using vorntest::rectAt;
using vorntest::Step;

// ---- next-hook calls in the dispatcher scenarios --------------------------------

// Stand-ins for the shared hook handles, so that each call shows which
// hook's handle it passed on.
HHOOK const MOUSE_HOOK = (HHOOK)(UINT_PTR)0x7101;
HHOOK const MESSAGE_HOOK = (HHOOK)(UINT_PTR)0x7102;
HHOOK const RETURN_HOOK = (HHOOK)(UINT_PTR)0x7103;
// What the next hook answers: neither 0 nor 1, so that passing its answer
// on is told apart from the hook's own results.
const LRESULT NEXT_HOOK_ANSWER = 0x5A5A;

class HostMouseScenarioTest : public MouseScenarioTest {
 protected:
  void SetUp() override {
    MouseScenarioTest::SetUp();
    savedHooks[0] = mouseHook;
    savedHooks[1] = getMessageHook;
    savedHooks[2] = callWndProcRetHook;
    mouseHook = MOUSE_HOOK;
    getMessageHook = MESSAGE_HOOK;
    callWndProcRetHook = RETURN_HOOK;
    winsimSetCallNextHookResult(NEXT_HOOK_ANSWER);
  }

  void TearDown() override {
    winsimSetCallNextHookResult(0);
    mouseHook = savedHooks[0];
    getMessageHook = savedHooks[1];
    callWndProcRetHook = savedHooks[2];
    MouseScenarioTest::TearDown();
  }

  LRESULT nextHookResult() override { return NEXT_HOOK_ANSWER; }

  void beforeStep() override { winsimClearRecords(); }

  static HHOOK hookOf(const Step &step) {
    switch (step.kind) {
      case vorntest::MOUSE:
        return MOUSE_HOOK;
      case vorntest::RETRIEVE:
        return MESSAGE_HOOK;
      default:
        return RETURN_HOOK;
    }
  }

  // The next hook gets the hook's own handle and its arguments unchanged.
  void checkNextHookCalls(const Step &step) override {
    int calls = winsimCallNextHookRecordCount();
    EXPECT_EQ(expectedNextHookCalls(step), calls) << "calls of the next hook";
    if (calls != 1) return;
    const WinsimHookCallRecord *call = winsimCallNextHookRecord(0);
    EXPECT_EQ(hookOf(step), call->hook);
    EXPECT_EQ(step.code, call->code);
    WPARAM passedOn = step.kind == vorntest::MOUSE      ? (WPARAM)step.message
                      : step.kind == vorntest::RETRIEVE ? (WPARAM)PM_REMOVE
                                                        : 0;
    EXPECT_EQ(passedOn, call->wParam);
  }

  HHOOK savedHooks[3] = {NULL, NULL, NULL};
};

TEST_P(HostMouseScenarioTest, CallsTheNextHookAsTheVerdictSays) { runScenario(); }

INSTANTIATE_TEST_SUITE_P(Dispatcher, HostMouseScenarioTest,
                         ::testing::ValuesIn(vorntest::allMouseHookScenarios()),
                         vorntest::scenarioName);

// ---- a desktop and a configuration for counting ------------------------------------

// The configuration the counting tests click on: a list with one rule, a
// maximal list (9 rules of 35 Patterns, none of which holds, so that every
// Pattern is tried), and lists that exercise every kind of verdict.
std::string countingConfiguration() {
  std::string text =
      "[Options]\r\nUseXMOUSE=1\r\nMaskXMOUSEOnMOUSEMOVE=1\r\n"
      "[MaskXMOUSE]\r\nMatch=Panes\r\n"
      "[Match.Panes]\r\nnPattern=1\r\n1.Invoked.Class=vornProbePane\r\n"
      "[List1]\r\nHook1=LBUTTONDOWN\r\n1.Match=Panes\r\n1.Action=Default\r\n"
      "[List2]\r\nHook1=RBUTTONDOWN\r\nHook2=NCRBUTTONDOWN\r\n";
  for (int rule = 1; rule <= 9; ++rule) {
    text += std::to_string(rule) + ".Match=M" + std::to_string(rule) + "\r\n";
    text += std::to_string(rule) + ".Action=NoAction\r\n";
  }
  text += "Default.Action=Default\r\n";
  text +=
      "[List3]\r\nHook1=MBUTTONUP\r\nHook2=LBUTTONUP\r\n1.Match=.Foreground\r\n"
      "1.Action=ThroughWithNoActivate\r\nDefault.Action=Through\r\n"
      "[List4]\r\nHook1=NCMBUTTONUP\r\nHook2=LBUTTONDBLCLK\r\nDefault.Action=ToggleMaximize\r\n"
      "[List5]\r\nHook1=NCLBUTTONDOWN\r\nDefault.Action=RaiseAndDefault\r\n"
      "[List6]\r\nHook1=NCLBUTTONUP\r\nDefault.Action=LowerAndSwitch\r\n"
      "[Match.Empty]\r\nnPattern=0\r\n";
  for (int number = 1; number <= 9; ++number) {
    text += vorntest::maximalMatch(number, "vornProbePane", "vornProbe");
  }
  return text;
}

class HookPathTest : public DispatchFixture {
 protected:
  void SetUp() override {
    DispatchFixture::SetUp();
    createProbeDesktop(&main, &pane, &other);
    palette = createWindow(0, POPUP_STYLE, rectAt(600, 450, 150, 100), main, PROBE_CLASS);
    paletteControl = createProbeChild(palette, rectAt(5, 5, 60, 20));
    ASSERT_TRUE(makeForeground(main));
    stackFromTop({other, main});
    ASSERT_NO_FATAL_FAILURE(loadIniText(countingConfiguration()));
  }

  void TearDown() override {
    winsimFailActiveWindowTracking(FALSE);
    DispatchFixture::TearDown();
  }

  int classNameReadsFor(UINT message, HWND window, int hitTest) {
    winsimClearRecords();
    callMouseHook(message, window, hitTest);
    return winsimGetClassNameCallCount();
  }

  HWND main = NULL, pane = NULL, other = NULL, palette = NULL, paletteControl = NULL;
};

// ---- class names: read at most once per window per message ---------------------------

TEST_F(HookPathTest, MaximalListReadsEachWindowsClassOnce) {
  // The pane, its click target and root parent main: two windows.
  EXPECT_EQ(2, classNameReadsFor(WM_RBUTTONDOWN, pane, HTCLIENT));
  // A control in an owned palette: three different windows, the most any
  // click can have.
  EXPECT_EQ(3, classNameReadsFor(WM_RBUTTONDOWN, paletteControl, HTCLIENT));
  // main is its own click target and root.
  EXPECT_EQ(1, classNameReadsFor(WM_NCRBUTTONDOWN, main, HTCAPTION));
}

TEST_F(HookPathTest, ClassNamesAreNotCarriedFromOneMessageToTheNext) {
  EXPECT_EQ(2, classNameReadsFor(WM_RBUTTONDOWN, pane, HTCLIENT));
  EXPECT_EQ(2, classNameReadsFor(WM_RBUTTONDOWN, pane, HTCLIENT));
}

TEST_F(HookPathTest, ListsThatNameNoClassReadNone) {
  xmouseMode = XMOUSE_OFF;
  // The empty match name and lists without rules ask for no class name.
  EXPECT_EQ(0, classNameReadsFor(WM_MBUTTONDOWN, pane, HTCLIENT));
  EXPECT_EQ(0, classNameReadsFor(WM_MBUTTONUP, pane, HTCLIENT));
  EXPECT_EQ(0, classNameReadsFor(WM_LBUTTONDBLCLK, pane, HTCLIENT));
  maskXmouseOnMove = 0;
  EXPECT_EQ(0, classNameReadsFor(WM_MOUSEMOVE, pane, HTCLIENT));
}

TEST_F(HookPathTest, MaskedMoveReadsEachWindowsClassOnce) {
  maskXmouseOnMove = 1;
  xmouseMode = XMOUSE_SYSTEM_TRACKING;
  EXPECT_EQ(1, classNameReadsFor(WM_MOUSEMOVE, pane, HTCLIENT));
  EXPECT_EQ(1, classNameReadsFor(WM_MOUSEMOVE, paletteControl, HTCLIENT));
}

// ---- tracking: nothing is switched on a guess ----------------------------------------------

// When the system cannot say whether tracking is on, it is not switched
// either way (winsim then fails the switch too, so the calls are what
// shows it).
class FailedTrackingQueryTest : public HookPathTest {
 protected:
  void SetUp() override {
    HookPathTest::SetUp();
    xmouseMode = XMOUSE_SYSTEM_TRACKING;
    maskXmouseOnMove = 1;
    winsimFailActiveWindowTracking(TRUE);
    winsimClearRecords();
  }

  // How often SystemParametersInfoA was called with `action` since the
  // records were last cleared.
  static int settingCalls(UINT action) {
    int calls = 0;
    for (int i = 0; i < winsimSettingRecordCount(); ++i) {
      if (winsimSettingRecord(i)->action == action) ++calls;
    }
    return calls;
  }

  static int trackingSwitches() { return settingCalls(SPI_SETACTIVEWINDOWTRACKING); }
  static int trackingQueries() { return settingCalls(SPI_GETACTIVEWINDOWTRACKING); }
};

TEST_F(FailedTrackingQueryTest, MaskCheckSwitchesNeitherWay) {
  MOUSEHOOKSTRUCT onPane = hookStruct(pane, HTCLIENT);
  EXPECT_EQ(MA_NOACTIVATE, xmouseMaskCheck(image().header(HEADER_MASKXMOUSE_MATCH), &onPane));
  MOUSEHOOKSTRUCT onOther = hookStruct(other, HTCLIENT);
  EXPECT_EQ(MA_ACTIVATE, xmouseMaskCheck(NO_OFFSET, &onOther));
  EXPECT_EQ(2, trackingQueries());
  EXPECT_EQ(0, trackingSwitches());
}

TEST_F(FailedTrackingQueryTest, PrecheckKeepsItsVerdictAndSwitchesNothing) {
  loadIni({"[List1]", "Hook1=MBUTTONUP", "Default.Action=ThroughWithNoActivate"});
  xmouseMode = XMOUSE_SYSTEM_TRACKING;  // the load set the file's mode
  winsimClearRecords();
  MOUSEHOOKSTRUCT m = hookStruct(pane, HTCLIENT);
  EXPECT_EQ(MA_NOACTIVATE,
            precheckDownEvent(image().header(HEADER_SLOT_MBUTTONUP), WM_MBUTTONDOWN, &m));
  EXPECT_EQ(1, trackingQueries());
  EXPECT_EQ(0, trackingSwitches());
}

// ---- no allocation on any hook path ------------------------------------------------------------

#if VORN_COUNTS_ALLOCATIONS
volatile int allocationsSeen = 0;
volatile bool countingAllocations = false;

void countAllocation(const volatile void *, size_t) {
  if (countingAllocations) allocationsSeen = allocationsSeen + 1;
}
void ignoreFree(const volatile void *) {}

template <typename Work>
int allocationsDuring(Work work) {
  static bool installed = __sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreFree);
  (void)installed;
  allocationsSeen = 0;
  countingAllocations = true;
  work();
  countingAllocations = false;
  return allocationsSeen;
}
#endif

class AllocationTest : public HookPathTest {
 protected:
  // Every hook path once: moves plain and masked, clicks on every list,
  // the gesture spoiled through the message hook, activations.
  void everyHookPath() {
    const int drag = 10;
    xmouseMode = XMOUSE_SIMULATED;
    mbuttonUpMoveProtect = 1;
    lbuttonUpMoveProtect = 1;
    maskXmouseOnMove = 0;
    callMouseHook(WM_MOUSEMOVE, pane, HTCLIENT);
    callMouseHook(WM_LBUTTONDOWN, pane, HTCLIENT);
    callMouseHook(WM_MOUSEMOVE, pane, HTCLIENT, 150 + drag, 150);
    callMouseHook(WM_LBUTTONUP, pane, HTCLIENT);
    callMouseHook(WM_LBUTTONDBLCLK, pane, HTCLIENT);
    callMouseHook(WM_RBUTTONDOWN, pane, HTCLIENT);
    callMouseHook(WM_NCRBUTTONDOWN, main, HTCAPTION);
    callMouseHook(WM_RBUTTONDOWN, paletteControl, HTCLIENT);
    callMouseHook(WM_NCLBUTTONDOWN, main, HTCAPTION);
    callMouseHook(WM_NCLBUTTONUP, main, HTCAPTION);
    callMouseHook(WM_MBUTTONDOWN, pane, HTCLIENT);
    callMouseHook(WM_MBUTTONUP, pane, HTCLIENT);
    callMouseHook(WM_NCMBUTTONDOWN, main, HTCAPTION);
    callMouseHook(WM_NCMBUTTONUP, main, HTCAPTION);
    callMouseHook(WM_MBUTTONDOWN, pane, HTCLIENT);
    MSG scroll = {};
    scroll.message = WM_VSCROLL;
    msgHookProc(HC_ACTION, PM_REMOVE, (LPARAM)&scroll);
    callMouseHook(WM_MBUTTONUP, pane, HTCLIENT);
    callMouseHook(WM_MOUSEWHEEL, pane, HTCLIENT);
    callMouseHook(WM_XBUTTONDOWN, pane, HTCLIENT);

    xmouseMode = XMOUSE_SYSTEM_TRACKING;
    maskXmouseOnMove = 1;
    returnFromWindowProcedure(main, WM_ACTIVATE);
    returnFromWindowProcedure(main, WM_WINDOWPOSCHANGED);
    callMouseHook(WM_MOUSEMOVE, other, HTCLIENT, 600, 200);
    callMouseHook(WM_MOUSEMOVE, pane, HTCLIENT);
    callMouseHook(WM_NCMOUSEMOVE, main, HTCAPTION);
    callMouseHook(WM_MOUSEMOVE, paletteControl, HTCLIENT);
  }
};

TEST_F(AllocationTest, HookProceduresAllocateNothing) {
#if VORN_COUNTS_ALLOCATIONS
  // The probes record what they are asked; room for it is made up front.
  probeLog.reserve(256);
  // A first round lets the test's own windows and queues reach their
  // steady state; what the second round allocates, the hooks allocated.
  everyHookPath();
  flushPostedMessages();
  probeLog.clear();
  EXPECT_EQ(0, allocationsDuring([&] { everyHookPath(); }));
  flushPostedMessages();
#else
  GTEST_SKIP() << "allocations are counted in the sanitizer build only";
#endif
}

// The counter must see allocations at all, or a silent zero proves nothing.
TEST_F(AllocationTest, CounterSeesAnAllocation) {
#if VORN_COUNTS_ALLOCATIONS
  std::vector<int> *made = nullptr;
  EXPECT_GE(allocationsDuring([&] { made = new std::vector<int>(4); }), 1);
  delete made;
#else
  GTEST_SKIP() << "allocations are counted in the sanitizer build only";
#endif
}

}  // namespace
