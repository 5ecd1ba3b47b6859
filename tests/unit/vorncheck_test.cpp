// vorncheck over a corpus of realistic mistakes: each one is found, on the
// line where it stands, with the right severity.
#include "unit/loader_fixture.h"

#include <stdio.h>

#include "config_checks.h"
#include "explain.h"
#include "private_compile.h"
#include "support/caller_trace.h"

namespace vorntest {
namespace {

class VorncheckTest : public ::testing::Test {
 protected:
  void TearDown() override {
    releaseConfiguration();
    DeleteFileA(path.c_str());
  }

  // Writes `text` to a file of its own, compiles it privately and checks it.
  void check(const std::string &text) {
    ASSERT_TRUE(writeFileBytes(path, text));
    char fullPath[MAX_PATH];
    ASSERT_EQ(1, compilePrivately(path.c_str(), fullPath));
    IniDocument doc;
    ASSERT_TRUE(doc.load(fullPath));
    checkConfiguration(doc, found);
  }

  // The one finding on `line`, which must say `words`.
  void expectFinding(Severity severity, int line, const std::string &words, CALLER_PARAMETERS) {
    TRACE_CALLER();
    int seen = 0;
    for (const Diagnostic &d : found.all()) {
      if (d.line != line) continue;
      ++seen;
      EXPECT_EQ(severity, d.severity) << d.message;
      EXPECT_NE(std::string::npos, d.message.find(words)) << "line " << line << ": " << d.message;
    }
    EXPECT_EQ(1, seen) << "findings on line " << line << ":\n" << allFindings();
  }

  // Whether some finding on `line`, which may hold others too, says `words`.
  bool hasFinding(int line, const std::string &words) const {
    for (const Diagnostic &d : found.all()) {
      if (d.line == line && d.message.find(words) != std::string::npos) return true;
    }
    return false;
  }

  std::string allFindings() const {
    std::string all;
    for (const Diagnostic &d : found.all()) {
      all += std::to_string(d.line) + ": " + d.message + "\n";
    }
    return all;
  }

  std::string path = temporaryPath("vorncheck-test.ini");
  Diagnostics found;
};

// ---- names ---------------------------------------------------------------------------

TEST_F(VorncheckTest, MisspelledActionIsAnErrorWithASuggestion) {
  check("[List1]\nHook1=NCMBUTTONUP\n1.Match=.Foreground\n1.Action=LowerAndSwich\n");
  expectFinding(FINDING_ERROR, 4, "did you mean \"LowerAndSwitch\"");
  EXPECT_EQ(2, found.exitCode());
}

TEST_F(VorncheckTest, ActionInOtherLetterCaseIsNamedCaseSensitive) {
  check("[List1]\nHook1=NCMBUTTONUP\nDefault.Action=noaction\n");
  expectFinding(FINDING_ERROR, 3, "\"NoAction\"? names are case-sensitive");
}

TEST_F(VorncheckTest, LowerCasePolicyIsAnError) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=.NotForeground\n1.Action=LowerAndSwitch\n"
        "1.Action.IfNextIsMinimized=skip\n");
  expectFinding(FINDING_ERROR, 5, "\"Skip\"? names are case-sensitive");
}

TEST_F(VorncheckTest, UnknownEventIsAnError) {
  check("[List1]\nHook1=NCMBUTONUP\n");
  expectFinding(FINDING_ERROR, 2, "did you mean \"NCMBUTTONUP\"");
}

TEST_F(VorncheckTest, CommentedHookIsNoMistake) {
  check("[List1]\nHook1=;NCMBUTTONUP\nHook2=MBUTTONUP\n");
  EXPECT_EQ(0, found.exitCode()) << allFindings();
}

TEST_F(VorncheckTest, UnknownHitTestNameIsAnError) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=Cap\n1.Action=NoAction\n"
        "[Match.Cap]\nnPattern=1\n1.NCHitTest=caption\n");
  expectFinding(FINDING_ERROR, 7, "never holds (did you mean \"CAPTION\"");
}

TEST_F(VorncheckTest, UnknownOptionIsAWarning) {
  check("[Options]\nUseXMouse=1\nUseXMOUSE=0\nMoveProtect=1\n");
  // Key names are found case-insensitively: UseXMouse is the option itself.
  expectFinding(FINDING_WARNING, 4, "unknown option \"MoveProtect\"");
  EXPECT_EQ(1, found.exitCode());
}

// ---- numbering ----------------------------------------------------------------------------

TEST_F(VorncheckTest, RuleAfterAGapIsNotLoaded) {
  check("[List1]\nHook1=LBUTTONUP\n1.Match=.Foreground\n3.Match=.Foreground\n"
        "3.Action=NoAction\n");
  expectFinding(FINDING_ERROR, 4, "rule 3 of List1 is not loaded");
}

TEST_F(VorncheckTest, HookAfterAGapIsIgnored) {
  check("[List1]\nHook1=LBUTTONUP\nHook3=RBUTTONDOWN\n");
  expectFinding(FINDING_ERROR, 3, "Hook3 of List1 is ignored");
}

TEST_F(VorncheckTest, ListAfterAMissingOneIsNotLoaded) {
  check("[List1]\nHook1=LBUTTONUP\n[List3]\nHook1=RBUTTONDOWN\n");
  expectFinding(FINDING_ERROR, 3, "List2 is missing");
}

TEST_F(VorncheckTest, ListSectionInOtherLetterCaseIsNoList) {
  check("[list1]\nHook1=LBUTTONUP\n");
  expectFinding(FINDING_ERROR, 1, "named exactly [List1]");
}

TEST_F(VorncheckTest, ListsBeyondTheSectionNamesReadAreReported) {
  std::string file = "[List1]\nHook1=LBUTTONUP\n";
  for (int i = 0; i < 100; ++i) file += "[Padding" + std::to_string(1000 + i) + "]\n";
  file += "[List2]\nHook1=RBUTTONDOWN\n";
  check(file);
  int listLine = 3 + 100;
  expectFinding(FINDING_ERROR, listLine, "beyond the section names that are read");
  EXPECT_GE(found.warnings(), 1) << allFindings();
}

// ---- lists and events ---------------------------------------------------------------------

TEST_F(VorncheckTest, ListWithoutAnEventIsAWarning) {
  check("[List1]\nHook1=LBUTTONUP\n[List2]\n1.Match=\n1.Action=NoAction\n");
  expectFinding(FINDING_WARNING, 3, "List2 handles no event");
}

TEST_F(VorncheckTest, EventClaimedTwiceNamesTheWinner) {
  check("[List1]\nHook1=LBUTTONUP\n[List2]\nHook1=RBUTTONDOWN\nHook2=LBUTTONUP\n");
  expectFinding(FINDING_WARNING, 5, "the last, List2, takes it");
}

TEST_F(VorncheckTest, RepeatedSectionIsAWarning) {
  check("[List1]\nHook1=LBUTTONUP\n[LIST1]\nHook2=RBUTTONDOWN\n");
  expectFinding(FINDING_WARNING, 3, "only the first is read");
}

// ---- matches ------------------------------------------------------------------------------

TEST_F(VorncheckTest, MatchWithoutASectionNeverHolds) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=Captoin.Foreground\n1.Action=NoAction\n"
        "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n");
  expectFinding(FINDING_ERROR, 3, "no [Match.Captoin] section");
}

TEST_F(VorncheckTest, MissingPatternCountIsAnError) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=Cap\n1.Action=NoAction\n"
        "[Match.Cap]\n1.NCHitTest=CAPTION\n");
  expectFinding(FINDING_ERROR, 5, "has no nPattern");
}

TEST_F(VorncheckTest, PatternBeyondTheCountIsAWarning) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=Cap\n1.Action=NoAction\n"
        "[Match.Cap]\nnPattern=1\n1.NCHitTest=CAPTION\n2.NCHitTest=CLIENT\n");
  expectFinding(FINDING_WARNING, 8, "Pattern 2 is beyond nPattern=1");
}

TEST_F(VorncheckTest, PatternCountTooLargeLeavesEmptyPatterns) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=Cap\n1.Action=NoAction\n"
        "[Match.Cap]\nnPattern=2\n1.NCHitTest=CAPTION\n");
  expectFinding(FINDING_WARNING, 6, "Pattern 2 of [Match.Cap] names nothing");
}

TEST_F(VorncheckTest, PatternCountAboveTheSlotsIsAWarning) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=Cap\n1.Action=NoAction\n"
        "[Match.Cap]\nnPattern=40\n1.NCHitTest=CAPTION\n");
  // One finding for the count; the empty Patterns 2 to 35 are reported on
  // the same line, so look for the count's own words among them.
  EXPECT_TRUE(hasFinding(6, "more than the 35")) << allFindings();
}

// ---- options and leftovers ------------------------------------------------------------------

TEST_F(VorncheckTest, MaskWhileMaskingIsOffIsAWarning) {
  check("[Options]\nUseXMOUSE=0\n[MaskXMOUSE]\nMatch=Tray\n[Match.Tray]\nnPattern=1\n"
        "1.Active.Class=Shell_TrayWnd\n");
  expectFinding(FINDING_WARNING, 4, "[MaskXMOUSE] Match is not used");
}

TEST_F(VorncheckTest, LongValueIsCut) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=\n1.Action=" + std::string(300, 'x') + "\n");
  EXPECT_TRUE(hasFinding(4, "only the first 255")) << allFindings();
}

TEST_F(VorncheckTest, StaleStatusEntryIsAWarning) {
  check("[List1]\nHook1=MBUTTONUP\n[Status]\nError=fail to FileMapping\n");
  expectFinding(FINDING_WARNING, 4, "stale [Status]");
}

// A key named without '=' has no value to the profile functions: the
// later line that gives it one is reported, and no check takes its value.
TEST_F(VorncheckTest, KeyWithoutEqualsHidesTheLaterValue) {
  check(
      "[List1]\nHook1=MBUTTONUP\nHook2\nHook2=RBUTTONDOWN\n1.Match=\n1.Action\n"
      "1.Action=Bogus\n[List2]\nHook1=RBUTTONDOWN\n");
  expectFinding(FINDING_WARNING, 3, "line 4, which gives it one, is never read");
  expectFinding(FINDING_WARNING, 6, "line 7, which gives it one, is never read");
  EXPECT_FALSE(hasFinding(9, "claimed by 2 lists")) << allFindings();
  EXPECT_EQ(1, found.exitCode()) << allFindings();
}

// Ctrl-Z is trimmed like a blank: a name written between two is found.
TEST_F(VorncheckTest, CtrlZAroundNamesIsTrimmed) {
  check(
      "[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=LowerAndSwitch\n"
      "[Match.Caption]\nnPattern=1\n1.NCHitTest=\x1a CAPTION\x1a\n");
  EXPECT_EQ(0, found.exitCode()) << allFindings();
}

TEST_F(VorncheckTest, CleanFileHasNoFindings) {
  check("[Options]\nUseXMOUSE=1\nMaskXMOUSEOnMOUSEMOVE=1\n[MaskXMOUSE]\nMatch=Tray\n"
        "[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption.NotForeground\n1.Action=LowerAndSwitch\n"
        "1.Action.IfNextIsMinimized=Skip\n2.Match=;Caption\n3.Match=Caption\n3.Action=\n"
        "4.Match=Tray\n4.Action=MinimizeAll\n"
        "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n"
        "[Match.Tray]\nnPattern=1\n1.Active.Class=Shell_TrayWnd\n");
  EXPECT_EQ(0, found.exitCode()) << allFindings();
}

TEST_F(VorncheckTest, SampleConfigurationChecksClean) {
  std::string sample = readFileBytes(VORN_SOURCE_DIR "/examples/vorn.ini");
  ASSERT_FALSE(sample.empty());
  check(sample);
  EXPECT_EQ(0, found.exitCode()) << allFindings();
}

// ---- explain ----------------------------------------------------------------------------------

class ExplainTest : public VorncheckTest {
 protected:
  std::string explain(ClickDescription click) {
    std::string out = temporaryPath("vorncheck-explain.txt");
    FILE *file = fopen(out.c_str(), "w+");
    EXPECT_NE(nullptr, file);
    if (!file) return std::string();
    explainClick(click, file);
    fclose(file);
    std::string text = readFileBytes(out);
    DeleteFileA(out.c_str());
    return text;
  }

  static ClickDescription click(int eventSlot, const char *invoked, int hitTest, int foreground) {
    ClickDescription description;
    description.eventSlot = eventSlot;
    description.invokedClass = invoked;
    description.hitTest = hitTest;
    description.foreground = foreground;
    return description;
  }
};

const int slotNcMButtonUp = 9;  // the event table's order

TEST_F(ExplainTest, NamesTheWinnerAndWhyEarlierRulesLost) {
  check("[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption.NotForeground\n1.Action=LowerAndSwitch\n"
        "2.Match=Caption\n2.Action=MinimizeOrLower\n"
        "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n");
  std::string text = explain(click(slotNcMButtonUp, "Notepad", HTCAPTION, 1));
  EXPECT_NE(std::string::npos, text.find("rule 1: match \"Caption\" (only when not foreground), "
                                         "action \"LowerAndSwitch\": its match holds, its "
                                         "foreground condition does not"))
      << text;
  EXPECT_NE(std::string::npos, text.find("winner: rule 2, action \"MinimizeOrLower\"")) << text;
  EXPECT_NE(std::string::npos, text.find("verdict: 4")) << text;
  EXPECT_NE(std::string::npos, text.find("the press (NCMBUTTONDOWN, which has no list of its "
                                         "own) is swallowed"))
      << text;
}

TEST_F(ExplainTest, ClickOutsideEveryMatchFallsToTheDefaultRule) {
  check("[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=LowerAndSwitch\n"
        "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n");
  std::string text = explain(click(slotNcMButtonUp, "Notepad", HTCLIENT, 0));
  EXPECT_NE(std::string::npos, text.find("its match does not hold")) << text;
  EXPECT_NE(std::string::npos, text.find("winner: the default rule, action \"Default\"")) << text;
  EXPECT_NE(std::string::npos, text.find("verdict: 1")) << text;
  EXPECT_NE(std::string::npos, text.find("is let through")) << text;
}

TEST_F(ExplainTest, EventWithoutAListPasses) {
  check("[List1]\nHook1=LBUTTONUP\n");
  std::string text = explain(click(slotNcMButtonUp, "Notepad", HTCAPTION, 1));
  EXPECT_NE(std::string::npos, text.find("no list handles NCMBUTTONUP")) << text;
}

}  // namespace
}  // namespace vorntest
