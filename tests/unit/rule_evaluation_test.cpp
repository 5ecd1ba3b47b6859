// Rule evaluation on live desktops: the match test, the rule walk with its
// carried `satisfied`, the foreground conditions (top-level and MDI), and
// the verdicts of evaluateList and precheckDownEvent.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "config/image_access.h"
#include "config/image_layout.h"
#include "config/image_publish.h"
#include "config/loader_state.h"
#include "hooks/click_facts.h"
#include "hooks/match_window.h"
#include "hooks/rule_evaluation.h"
#include "hooks/rule_walk.h"
#include "unit/dispatch_fixture.h"
#include "windows/last_activated_window.h"
#include "windows/navigation.h"

namespace {

using vorntest::activeWindowTracking;
using vorntest::DispatchFixture;
using vorntest::MdiFrame;
using vorntest::rectAt;
using vorntest::setActiveWindowTracking;

// A main window (class vornProbe) with a pane (vornProbePane) in it, and
// a second top-level window below it.
class RuleEvaluationTest : public DispatchFixture {
 protected:
  void SetUp() override {
    DispatchFixture::SetUp();
    createProbeDesktop(&main, &pane, &other);
    stackFromTop({main, other});
  }

  // The MatchRecord of rule `rule` of the first list.
  ImageOffset ruleMatch(int rule) const { return image().ruleMatch(image().list(0), rule); }

  LRESULT evaluate(HWND window, int hitTest, UINT message = WM_LBUTTONDOWN) {
    MOUSEHOOKSTRUCT m = hookStruct(window, hitTest);
    return evaluateList(listIn(HEADER_SLOT_LBUTTONDOWN), message, &m);
  }

  LRESULT precheck(HWND window, int hitTest, UINT message = WM_MBUTTONDOWN) {
    MOUSEHOOKSTRUCT m = hookStruct(window, hitTest);
    return precheckDownEvent(listIn(HEADER_SLOT_MBUTTONUP), message, &m);
  }

  // Counts the system commands `window` received since the last count.
  int systemCommandsTo(HWND window, WPARAM command) {
    flushPostedMessages();
    int count = 0;
    for (const auto &logged : probeMessages(WM_SYSCOMMAND)) {
      if (logged.window == window && (logged.wParam & 0xFFF0) == command) ++count;
    }
    probeLog.clear();
    return count;
  }

  HWND main = NULL, pane = NULL, other = NULL;
};

// ---- matchWindow --------------------------------------------------------------

class MatchWindowTest : public RuleEvaluationTest {
 protected:
  enum Rule {
    ANY = 1,
    NO_PATTERNS,
    ACTIVE_ONLY,
    BLANK_THEN_PANE,
    CAPTION_ONLY,
    WRONG_CASE,
    PREFIX_OF_CLASS,
    PARENT_ONLY,
    ALL_CONDITIONS,
  };

  void SetUp() override {
    RuleEvaluationTest::SetUp();
    loadIni({"[List1]",
             "Hook1=LBUTTONDOWN",
             "1.Match=.Foreground",
             "2.Match=NoPatterns",
             "3.Match=ActiveOnly",
             "4.Match=BlankThenPane",
             "5.Match=CaptionOnly",
             "6.Match=WrongCase",
             "7.Match=PrefixOfClass",
             "8.Match=ParentOnly",
             "9.Match=AllConditions",
             "[Match.NoPatterns]",
             "nPattern=0",
             "1.Invoked.Class=vornProbePane",
             "[Match.ActiveOnly]",
             "nPattern=1",
             "1.Active.Class=vornProbe",
             "[Match.BlankThenPane]",
             "nPattern=2",
             "2.Invoked.Class=vornProbePane",
             "[Match.CaptionOnly]",
             "nPattern=1",
             "1.NCHitTest=CAPTION",
             "[Match.WrongCase]",
             "nPattern=1",
             "1.Invoked.Class=VORNPROBEPANE",
             "[Match.PrefixOfClass]",
             "nPattern=2",
             "1.Invoked.Class=vornProbe",
             "2.Invoked.Class=vornProbePaneX",
             "[Match.ParentOnly]",
             "nPattern=1",
             "1.Parent.Class=vornProbe",
             "[Match.AllConditions]",
             "nPattern=1",
             "1.Invoked.Class=vornProbePane",
             "1.Active.Class=vornProbe",
             "1.Parent.Class=vornProbe",
             "1.NCHitTest=CLIENT"});
  }

  int matches(Rule rule, HWND window, int hitTest) {
    return matchWindow(ruleMatch(rule), window, clickTarget(window), rootParent(window), hitTest);
  }
};

TEST_F(MatchWindowTest, EmptyNameMatchesEveryWindowEvenNone) {
  EXPECT_EQ(1, matches(ANY, pane, HTCLIENT));
  EXPECT_EQ(1, matches(ANY, other, HTCAPTION));
  EXPECT_EQ(1, matchWindow(ruleMatch(ANY), NULL, NULL, NULL, HTNOWHERE));
}

TEST_F(MatchWindowTest, NoMatchRecordAndNoPatternsNeverMatch) {
  EXPECT_EQ(0, matchWindow(NO_OFFSET, pane, main, main, HTCLIENT));
  // Pattern 1 is written in the file, but nPattern says there is none.
  EXPECT_EQ(0, matches(NO_PATTERNS, pane, HTCLIENT));
}

TEST_F(MatchWindowTest, ActiveClassAloneMatchesAtAnyHitTest) {
  EXPECT_EQ(1, matches(ACTIVE_ONLY, pane, HTCLIENT));
  EXPECT_EQ(1, matches(ACTIVE_ONLY, main, HTCAPTION));
  EXPECT_EQ(1, matches(ACTIVE_ONLY, main, HTNOWHERE));
  EXPECT_EQ(1, matches(ACTIVE_ONLY, main, HTHELP));
}

TEST_F(MatchWindowTest, PatternNamingNothingIsSkippedForTheNext) {
  EXPECT_EQ(1, matches(BLANK_THEN_PANE, pane, HTCLIENT));
  EXPECT_EQ(0, matches(BLANK_THEN_PANE, main, HTCLIENT));
  EXPECT_EQ(0, matches(BLANK_THEN_PANE, other, HTCAPTION));
}

TEST_F(MatchWindowTest, HitTestAloneMatchesEveryWindowAtThatCode) {
  EXPECT_EQ(1, matches(CAPTION_ONLY, main, HTCAPTION));
  EXPECT_EQ(1, matches(CAPTION_ONLY, other, HTCAPTION));
  EXPECT_EQ(0, matches(CAPTION_ONLY, main, HTCLIENT));
  // All 32 bits are compared: a code with bits above the low word is no
  // caption.
  EXPECT_EQ(0, matches(CAPTION_ONLY, main, 0x10000 | HTCAPTION));
}

TEST_F(MatchWindowTest, ClassNamesAreExactWholeAndCaseSensitive) {
  EXPECT_EQ(0, matches(WRONG_CASE, pane, HTCLIENT));
  // "vornProbe" is a prefix of the pane's class, "vornProbePaneX" extends it.
  EXPECT_EQ(0, matches(PREFIX_OF_CLASS, pane, HTCLIENT));
  EXPECT_EQ(1, matches(PREFIX_OF_CLASS, main, HTCLIENT));
}

TEST_F(MatchWindowTest, ParentClassIsThatOfTheRootOfParentsAndOwners) {
  HWND palette = createPopup(main, rectAt(600, 450, 100, 100));
  HWND paletteControl = createProbeChild(palette, rectAt(5, 5, 40, 20));
  EXPECT_EQ(1, matches(PARENT_ONLY, pane, HTCLIENT));
  EXPECT_EQ(1, matches(PARENT_ONLY, paletteControl, HTCLIENT));
  HWND unrelated = createTopLevel(rectAt(50, 500, 100, 100));
  EXPECT_EQ(0, matches(PARENT_ONLY, unrelated, HTCLIENT));
}

TEST_F(MatchWindowTest, EveryConditionOfAPatternMustHold) {
  EXPECT_EQ(1, matches(ALL_CONDITIONS, pane, HTCLIENT));
  EXPECT_EQ(0, matches(ALL_CONDITIONS, pane, HTVSCROLL));
  EXPECT_EQ(0, matches(ALL_CONDITIONS, main, HTCLIENT));
  HWND foreign = createTopLevel(rectAt(50, 500, 100, 100));
  EXPECT_EQ(0, matchWindow(ruleMatch(ALL_CONDITIONS), pane, foreign, main, HTCLIENT));
  EXPECT_EQ(0, matchWindow(ruleMatch(ALL_CONDITIONS), pane, main, foreign, HTCLIENT));
}

// A window that went away has no class: a Pattern naming its class fails,
// even right after the same Pattern matched a live window of that class
// (whose name a careless reader would still find in its buffer).
TEST_F(MatchWindowTest, WindowThatWentAwayHasTheEmptyClass) {
  HWND gone = createProbeChild(main, rectAt(300, 10, 50, 50));
  DestroyWindow(gone);
  ASSERT_FALSE(IsWindow(gone));

  EXPECT_EQ(1, matchWindow(ruleMatch(ALL_CONDITIONS), pane, main, main, HTCLIENT));
  EXPECT_EQ(0, matchWindow(ruleMatch(ALL_CONDITIONS), gone, main, main, HTCLIENT));
  EXPECT_EQ(1, matchWindow(ruleMatch(BLANK_THEN_PANE), pane, main, main, HTCLIENT));
  EXPECT_EQ(0, matchWindow(ruleMatch(BLANK_THEN_PANE), gone, main, main, HTCLIENT));
  // Conditions on the other windows still count.
  EXPECT_EQ(1, matchWindow(ruleMatch(ACTIVE_ONLY), gone, main, main, HTCLIENT));
}

// ---- the rule walk --------------------------------------------------------------

// Matches shared by the walk tests: Pane holds for clicks on the pane,
// Never for no click.
#define WALK_MATCHES \
  "[Match.Pane]", "nPattern=1", "1.Invoked.Class=vornProbePane", "[Match.Never]", "nPattern=0"

class RuleWalkTest : public RuleEvaluationTest {};

TEST_F(RuleWalkTest, NoListPassesWithoutRunningAnything) {
  MOUSEHOOKSTRUCT m = hookStruct(pane, HTCLIENT);
  xmouseMode = XMOUSE_SIMULATED;
  EXPECT_EQ(MA_ACTIVATE, evaluateList(NO_OFFSET, WM_LBUTTONDOWN, &m));
  EXPECT_EQ(MA_ACTIVATE, precheckDownEvent(NO_OFFSET, WM_MBUTTONDOWN, &m));
  EXPECT_TRUE(probeLog.empty());
}

TEST_F(RuleWalkTest, ListWithoutRulesGoesToTheDefaultRule) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "Default.Action=ToggleMaximize", "[List2]",
           "Hook1=RBUTTONDOWN"});
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(pane, HTCLIENT));
  EXPECT_EQ(1, systemCommandsTo(main, SC_MAXIMIZE));

  // A missing Default.Action is "Default": run, and the click passes.
  MOUSEHOOKSTRUCT m = hookStruct(pane, HTCLIENT);
  EXPECT_EQ(MA_ACTIVATE, evaluateList(listIn(HEADER_SLOT_RBUTTONDOWN), WM_RBUTTONDOWN, &m));
}

TEST_F(RuleWalkTest, LowestEntryThatHoldsWithAnActionWins) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=Never", "1.Action=NoAction", "2.Match=Pane",
           "2.Action=ThroughWithNoActivate", "3.Match=Pane", "3.Action=ToggleMaximize",
           "Default.Action=ToggleMaximize", WALK_MATCHES});
  EXPECT_EQ(MA_NOACTIVATE, evaluate(pane, HTCLIENT));
  EXPECT_EQ(0, systemCommandsTo(main, SC_MAXIMIZE));
  // Where neither holds, the default rule answers.
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(main, HTCAPTION));
  EXPECT_EQ(1, systemCommandsTo(main, SC_MAXIMIZE));
}

TEST_F(RuleWalkTest, EmptyActionHandsTheClickToTheNextEntryWithAnAction) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=Pane", "1.Action=", "2.Match=Never",
           "2.Action=ToggleMaximize", "Default.Action=ThroughWithNoActivate", WALK_MATCHES});
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(pane, HTCLIENT));
  EXPECT_EQ(1, systemCommandsTo(main, SC_MAXIMIZE));
  // Entry 1 does not hold for the main window: entry 2 fails on its own.
  EXPECT_EQ(MA_NOACTIVATE, evaluate(main, HTCLIENT));
  EXPECT_EQ(0, systemCommandsTo(main, SC_MAXIMIZE));
}

TEST_F(RuleWalkTest, HandedOnClickWithNoLaterActionGoesToTheDefaultRule) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=Pane", "1.Action=", "2.Match=Pane",
           "2.Action=", "Default.Action=ThroughWithNoActivate", WALK_MATCHES});
  EXPECT_EQ(MA_NOACTIVATE, evaluate(pane, HTCLIENT));
}

TEST_F(RuleWalkTest, CommentedOutRuleIsPassedOver) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=;Pane", "1.Action=NoAction", "2.Match=Never",
           "2.Action=ToggleMaximize", "Default.Action=Default", WALK_MATCHES});
  EXPECT_EQ(MA_ACTIVATE, evaluate(pane, HTCLIENT));
  EXPECT_EQ(0, systemCommandsTo(main, SC_MAXIMIZE));
}

TEST_F(RuleWalkTest, EmptyDefaultActionPassesButPrecheckSwallows) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "Hook2=MBUTTONUP", "Default.Action="});
  EXPECT_EQ(MA_ACTIVATE, evaluate(pane, HTCLIENT));
  EXPECT_EQ(MA_NOACTIVATEANDEAT, precheck(pane, HTCLIENT));
}

// An offset that points outside the image (or a list that runs past its
// end) is read as nothing there, never as memory beyond the view.
TEST_F(RuleWalkTest, ListOutsideTheImageFallsToNothing) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "Default.Action=NoAction"});
  MOUSEHOOKSTRUCT m = hookStruct(pane, HTCLIENT);
  EXPECT_EQ(MA_ACTIVATE, evaluateList((ImageOffset)imageSize - 8, WM_LBUTTONDOWN, &m));
  EXPECT_EQ(MA_ACTIVATE, evaluateList((ImageOffset)imageSize + 4096, WM_LBUTTONDOWN, &m));
  EXPECT_EQ(MA_NOACTIVATEANDEAT, precheckDownEvent((ImageOffset)imageSize - 8, WM_MBUTTONDOWN, &m));
}

// ---- foreground conditions -----------------------------------------------------

class ForegroundConditionTest : public RuleEvaluationTest {
 protected:
  void SetUp() override {
    RuleEvaluationTest::SetUp();
    loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=.Foreground",
             "1.Action=ThroughWithNoActivate", "2.Match=.NotForeground", "2.Action=NoAction",
             "Default.Action=Default"});
  }
};

TEST_F(ForegroundConditionTest, TopLevelClickIsForegroundWhenItsTargetIsOnTop) {
  stackFromTop({main, other});
  EXPECT_EQ(MA_NOACTIVATE, evaluate(pane, HTCLIENT));
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(other, HTCAPTION));
  stackFromTop({other, main});
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(pane, HTCLIENT));
  EXPECT_EQ(MA_NOACTIVATE, evaluate(other, HTCAPTION));
}

TEST_F(ForegroundConditionTest, RecordedActivationDecidesWhoIsOnTop) {
  stackFromTop({main, other});
  lastActivatedWindow = other;
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(pane, HTCLIENT));
  // The recorded window counts only while it is also the highest normal one.
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(other, HTCLIENT));
  lastActivatedWindow = main;
  EXPECT_EQ(MA_NOACTIVATE, evaluate(pane, HTCLIENT));
}

// Inside an MDI frame the document decides: the highest eligible document
// is foreground wherever its frame is, and actions get the document with
// the MDI flag.
class MdiRuleTest : public RuleEvaluationTest {
 protected:
  void SetUp() override {
    RuleEvaluationTest::SetUp();
    mdi = createMdiFrame(rectAt(50, 50, 600, 450));
    lower = createMdiChild(mdi.client, rectAt(10, 10, 250, 200));
    upper = createMdiChild(mdi.client, rectAt(60, 60, 250, 200));
    lowerControl = createChild(lower, rectAt(5, 5, 60, 20));
    upperControl = createChild(upper, rectAt(5, 5, 60, 20));
    ASSERT_EQ(upper, activeMdiChild(mdi.client));
    stackFromTop({other, main, mdi.frame});
    loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=.Foreground",
             "1.Action=ThroughWithNoActivate", "2.Match=.NotForeground", "2.Action=Activate",
             "Default.Action=NoAction"});
  }

  MdiFrame mdi = {NULL, NULL};
  HWND lower = NULL, upper = NULL, lowerControl = NULL, upperControl = NULL;
};

TEST_F(MdiRuleTest, HighestDocumentIsForegroundBehindOtherWindows) {
  EXPECT_EQ(MA_NOACTIVATE, evaluate(upperControl, HTCLIENT));
  EXPECT_EQ(upper, activeMdiChild(mdi.client));
}

TEST_F(MdiRuleTest, ActionGetsTheDocumentAndTheMdiFlag) {
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(lowerControl, HTCLIENT));
  // "Activate" on an MDI document asks its client window to activate it.
  EXPECT_TRUE(pumpUntil([&] { return activeMdiChild(mdi.client) == lower; }));
}

// ---- the pass-through actions ------------------------------------------------------

class PassThroughTest : public RuleEvaluationTest {
 protected:
  void SetUp() override {
    RuleEvaluationTest::SetUp();
    loadIni({"[List1]", "Hook1=LBUTTONDOWN", "Hook2=NCRBUTTONDOWN", "Hook3=MBUTTONUP",
             "Default.Action=Through"});
  }
};

TEST_F(PassThroughTest, ThroughPassesWithoutAskingOutsideSimulatedActivation) {
  for (int mode : {XMOUSE_OFF, XMOUSE_SYSTEM_TRACKING}) {
    xmouseMode = mode;
    mouseActivateAnswer = MA_NOACTIVATEANDEAT;
    EXPECT_EQ(MA_ACTIVATE, evaluate(pane, HTCLIENT)) << "mode " << mode;
    EXPECT_EQ(MA_ACTIVATE, precheck(pane, HTCLIENT)) << "mode " << mode;
  }
  EXPECT_TRUE(probeMessages(WM_MOUSEACTIVATE).empty());
}

TEST_F(PassThroughTest, SimulatedActivationAsksTheWindowAndTakesItsAnswer) {
  xmouseMode = XMOUSE_SIMULATED;
  mouseActivateAnswer = MA_NOACTIVATEANDEAT;
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluate(pane, HTCLIENT));
  mouseActivateAnswer = 0;
  EXPECT_EQ(0, evaluate(pane, HTCLIENT));
  mouseActivateAnswer = 0x1234;
  EXPECT_EQ(0x1234, precheck(pane, HTCLIENT));

  auto asked = probeMessages(WM_MOUSEACTIVATE);
  ASSERT_EQ(3u, asked.size());
  EXPECT_EQ(pane, asked[0].window);
  EXPECT_EQ((WPARAM)main, asked[0].wParam);
  EXPECT_EQ(MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN), asked[0].lParam);
  EXPECT_EQ(MAKELPARAM(HTCLIENT, WM_MBUTTONDOWN), asked[2].lParam);
}

TEST_F(PassThroughTest, QuestionCarriesTheLowWordsOfMessageAndHitTest) {
  xmouseMode = XMOUSE_SIMULATED;
  MOUSEHOOKSTRUCT m = hookStruct(main, 0x70000 | HTCAPTION);
  evaluateList(listIn(HEADER_SLOT_NCRBUTTONDOWN), 0x50000 | WM_NCRBUTTONDOWN, &m);
  auto asked = probeMessages(WM_MOUSEACTIVATE);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ(main, asked[0].window);
  EXPECT_EQ((WPARAM)main, asked[0].wParam);
  EXPECT_EQ(MAKELPARAM(HTCAPTION, WM_NCRBUTTONDOWN), asked[0].lParam);
}

// ---- verdicts by action name -----------------------------------------------------------

struct ActionVerdicts {
  const char *action;
  LRESULT evaluated;
  LRESULT prechecked;
};

void PrintTo(const ActionVerdicts &row, std::ostream *out) { *out << '"' << row.action << '"'; }

class ActionVerdictTest : public RuleEvaluationTest,
                          public ::testing::WithParamInterface<ActionVerdicts> {
 protected:
  void SetUp() override {
    RuleEvaluationTest::SetUp();
    std::string action = std::string("Default.Action=") + GetParam().action;
    loadIni({"[List1]", "Hook1=LBUTTONDOWN", "Hook2=MBUTTONUP", action.c_str()});
    stackFromTop({other, main});
    ASSERT_TRUE(makeForeground(other));
    clearMessageLog();
  }
};

// The pre-check decides the press alone: whatever the action, nothing
// moves, nothing is activated and nothing is asked of the window.
TEST_P(ActionVerdictTest, PrecheckDecidesWithoutActing) {
  EXPECT_EQ(GetParam().prechecked, precheck(pane, HTCLIENT));
  flushPostedMessages();
  EXPECT_EQ(other, GetForegroundWindow());
  EXPECT_EQ((std::vector<HWND>{other, main}), zOrderOf({other, main}));
  EXPECT_TRUE(probeLog.empty());
}

TEST_P(ActionVerdictTest, EvaluationRunsTheActionForItsVerdict) {
  EXPECT_EQ(GetParam().evaluated, evaluate(pane, HTCLIENT));
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionVerdictTest,
    ::testing::Values(ActionVerdicts{"ThroughWithNoActivate", 3, 3},
                      ActionVerdicts{"Through", 1, 1}, ActionVerdicts{"Default", 1, 1},
                      ActionVerdicts{"ActivateAndDefault", 1, 1},
                      ActionVerdicts{"RaiseAndDefault", 1, 4}, ActionVerdicts{"NoAction", 4, 4},
                      ActionVerdicts{"LowerAndSwitch", 4, 4},
                      ActionVerdicts{"ToggleMaximize", 4, 4},
                      ActionVerdicts{"CancelMOUSEDOWN", 4, 4}, ActionVerdicts{"", 1, 4},
                      ActionVerdicts{"NoSuchAction", 1, 4}, ActionVerdicts{"through", 1, 4}));

// ---- the pre-check and active window tracking -------------------------------------------

class PrecheckTrackingTest : public RuleEvaluationTest {
 protected:
  void SetUp() override {
    RuleEvaluationTest::SetUp();
    loadIni({"[List1]", "Hook1=MBUTTONUP", "Default.Action=ThroughWithNoActivate"});
  }
};

TEST_F(PrecheckTrackingTest, SystemTrackingModeSwitchesTrackingOff) {
  xmouseMode = XMOUSE_SYSTEM_TRACKING;
  setActiveWindowTracking(TRUE);
  ASSERT_TRUE(activeWindowTracking());
  EXPECT_EQ(MA_NOACTIVATE, precheck(pane, HTCLIENT));
  EXPECT_FALSE(activeWindowTracking());
  EXPECT_EQ(MA_NOACTIVATE, precheck(pane, HTCLIENT));
  EXPECT_FALSE(activeWindowTracking());
}

TEST_F(PrecheckTrackingTest, OtherModesAndEvaluationLeaveTrackingAlone) {
  setActiveWindowTracking(TRUE);
  for (int mode : {XMOUSE_OFF, XMOUSE_SIMULATED}) {
    xmouseMode = mode;
    EXPECT_EQ(MA_NOACTIVATE, precheck(pane, HTCLIENT)) << "mode " << mode;
    EXPECT_TRUE(activeWindowTracking()) << "mode " << mode;
  }
  xmouseMode = XMOUSE_SYSTEM_TRACKING;
  MOUSEHOOKSTRUCT m = hookStruct(pane, HTCLIENT);
  EXPECT_EQ(MA_NOACTIVATE, evaluateList(listIn(HEADER_SLOT_MBUTTONUP), WM_MBUTTONUP, &m));
  EXPECT_TRUE(activeWindowTracking());
}

// ---- the walk itself, for an explanation ---------------------------------------------------

class WinningEntryTest : public RuleEvaluationTest {
 protected:
  void SetUp() override {
    RuleEvaluationTest::SetUp();
    loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=Never", "1.Action=NoAction",
             "2.Match=Pane.NotForeground", "2.Action=NoAction", "3.Match=Pane",
             "3.Action=", "4.Match=Never", "4.Action=ToggleMaximize", "5.Match=Pane",
             "5.Action=NoAction", WALK_MATCHES});
  }

  ImageOffset list() const { return listIn(HEADER_SLOT_LBUTTONDOWN); }
};

TEST_F(WinningEntryTest, TraceTellsWhyEarlierEntriesDidNotWin) {
  ClickFacts facts;
  describeClickByClassNames(&facts, "vornProbePane", "vornProbe", "vornProbe", HTCLIENT, 1);
  WalkTrace trace;
  EXPECT_EQ(4, findWinningEntry(list(), &facts, &trace));
  EXPECT_EQ(ENTRY_MATCH_FAILED, trace.outcome[1]);
  EXPECT_EQ(ENTRY_FOREGROUND_FAILED, trace.outcome[2]);
  EXPECT_EQ(ENTRY_HANDED_ON, trace.outcome[3]);
  EXPECT_EQ(ENTRY_WON, trace.outcome[4]);
  EXPECT_EQ(ENTRY_NOT_VISITED, trace.outcome[5]);
  EXPECT_EQ(3, trace.satisfiedBy);
}

TEST_F(WinningEntryTest, ClassNamesAloneGiveTheWinnerLiveWindowsGive) {
  ClickFacts described;
  describeClickByClassNames(&described, "vornProbe", "vornProbe", "vornProbe", HTCAPTION, 0);
  WalkTrace trace;
  EXPECT_EQ(0, findWinningEntry(list(), &described, &trace));
  EXPECT_EQ(0, trace.satisfiedBy);

  describeClickByClassNames(&described, "vornProbePane", "vornProbe", "vornProbe", HTCLIENT, 0);
  EXPECT_EQ(2, findWinningEntry(list(), &described, NULL));

  stackFromTop({other, main});
  ClickFacts live;
  describeClickOn(&live, pane, HTCLIENT);
  EXPECT_EQ(2, findWinningEntry(list(), &live, NULL));
  stackFromTop({main, other});
  describeClickOn(&live, pane, HTCLIENT);
  EXPECT_EQ(4, findWinningEntry(list(), &live, NULL));
}

TEST_F(WinningEntryTest, ClickFactsReadEachWindowsClassOnce) {
  ClickFacts facts;
  describeClickOn(&facts, main, HTCAPTION);
  EXPECT_EQ(main, facts.window[CLICK_INVOKED]);
  EXPECT_EQ(main, facts.window[CLICK_ACTIVE]);
  EXPECT_EQ(main, facts.window[CLICK_PARENT]);
  EXPECT_FALSE(isMdiClick(&facts));
  EXPECT_STREQ("vornProbe", clickClassName(&facts, CLICK_PARENT));
  // The same window in another role shares the name already read.
  EXPECT_EQ(clickClassName(&facts, CLICK_PARENT), clickClassName(&facts, CLICK_INVOKED));

  describeClickOn(&facts, pane, HTCLIENT);
  EXPECT_STREQ("vornProbePane", clickClassName(&facts, CLICK_INVOKED));
  EXPECT_STREQ("vornProbe", clickClassName(&facts, CLICK_ACTIVE));
}

// ---- a reload while walks run ---------------------------------------------------

// A walk that a rewrite of the image overlapped carries nothing out: the
// click goes on as if no list were configured. One that the rewrite did
// not touch acts as ever.
TEST_F(RuleWalkTest, AWalkThatARewriteOverlappedDoesNothing) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "Default.Action=ToggleMaximize"});
  MOUSEHOOKSTRUCT m = hookStruct(pane, HTCLIENT);
  ImageOffset list = listIn(HEADER_SLOT_LBUTTONDOWN);
  uint32_t before = imageGeneration();
  ASSERT_EQ(0u, before & 1) << "a published image is whole";
  beginImageRewrite();
  EXPECT_EQ(MA_ACTIVATE, evaluateList(list, WM_LBUTTONDOWN, &m));  // begun while being written
  endImageRewrite();
  EXPECT_EQ(MA_ACTIVATE, evaluateListSince(before, list, WM_LBUTTONDOWN, &m));  // rewritten since
  EXPECT_EQ(MA_ACTIVATE, precheckDownEventSince(before, list, WM_MBUTTONDOWN, &m));
  EXPECT_EQ(0, systemCommandsTo(main, SC_MAXIMIZE));
  EXPECT_EQ(MA_NOACTIVATEANDEAT, evaluateListSince(imageGeneration(), list, WM_LBUTTONDOWN, &m));
  EXPECT_EQ(1, systemCommandsTo(main, SC_MAXIMIZE));
}

// A second thread rewrites the image in place, again and again, between
// two configurations of the same list (as a reload into a section that
// hooked programs still hold does) while walks run: each walk answers as
// one of the two, or, overlapped, lets the press go on. A walk that mixed
// the two would read an action name half overwritten, which is no action,
// and swallow the press.
TEST_F(RuleWalkTest, WalksSeeOneImageWholeWhileAnotherThreadRewritesIt) {
  loadIni({"[List1]", "Hook1=MBUTTONUP", "Default.Action=ThroughWithNoActivate"});
  std::vector<unsigned char> first(imageHeader, imageHeader + imageSize);
  // The same record, a shorter name at the same offset, and room enough
  // for the first image: the file is longer.
  loadIni({"[List1]", "Hook1=MBUTTONUP", "Default.Action=Default", "; padding padding padding"});
  ASSERT_GE(imageSize, first.size());
  std::vector<unsigned char> second(imageHeader, imageHeader + imageSize);
  first.resize(second.size(), 0);

  std::atomic<bool> done(false);
  std::thread writer([&] {
    for (int round = 0; !done.load(); ++round) {
      // Byte by byte, as slowly as a writer may: a walk meets the image
      // half written as often as it can.
      const std::vector<unsigned char> &next = round & 1 ? second : first;
      volatile unsigned char *view = imageBase;
      beginImageRewrite();
      for (size_t at = 0; at < next.size(); ++at) view[at] = next[at];
      endImageRewrite();
    }
  });
  MOUSEHOOKSTRUCT m = hookStruct(pane, HTCLIENT);
  int verdicts[8] = {};
  for (int walk = 0; walk < 50000; ++walk) {
    uint32_t generation = imageGeneration();
    LRESULT verdict =
        precheckDownEventSince(generation, imageField(HEADER_SLOT_MBUTTONUP), WM_MBUTTONDOWN, &m);
    ++verdicts[verdict >= 0 && verdict < 8 ? verdict : 0];
  }
  done = true;
  writer.join();
  EXPECT_EQ(0, verdicts[MA_NOACTIVATEANDEAT]) << "walks that mixed two images";
  EXPECT_EQ(0, verdicts[0] + verdicts[MA_ACTIVATEANDEAT] + verdicts[5] + verdicts[6] + verdicts[7]);
  EXPECT_EQ(50000, verdicts[MA_ACTIVATE] + verdicts[MA_NOACTIVATE]);
}

}  // namespace
