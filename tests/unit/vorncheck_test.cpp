// vorncheck over a corpus of realistic mistakes: each one is found, on the
// line where it stands, with the right severity.
#include "unit/loader_fixture.h"

#include <stdio.h>

#include "config/name_tables.h"
#include "config_checks.h"
#include "explain.h"
#include "private_compile.h"
#include "support/caller_trace.h"
#include "support/printed_text.h"

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
  IniDocument doc;
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

// The default rule's policy is read as a numbered rule's is, and checked
// the same way.
TEST_F(VorncheckTest, TheDefaultRulesPolicyIsCheckedToo) {
  check("[List1]\nHook1=MBUTTONUP\nDefault.Action=LowerAndSwitch\n"
        "Default.Action.IfNextIsMinimized=skip\n");
  expectFinding(FINDING_ERROR, 4, "\"Skip\"? names are case-sensitive");
}

// Errors decide the exit code whatever else is found.
TEST_F(VorncheckTest, AnErrorBesideAWarningExitsWithTwo) {
  check("[Options]\nUseXMOUSe=1\n[List1]\nHook1=NCMBUTONUP\n");
  EXPECT_EQ(1, found.warnings()) << allFindings();
  EXPECT_EQ(1, found.errors()) << allFindings();
  EXPECT_EQ(2, found.exitCode());
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

// Mouse messages vorn keeps no list for are no typing slip of one it
// does: the finding says so and names the events there are.
TEST_F(VorncheckTest, EventsVornHasNoListForAreSaidToBeNone) {
  check(
      "[List1]\nHook1=NCXBUTTONUP\nHook2=XBUTTONDOWN\nHook3=XBUTTON1DBLCLK\nHook4=MOUSEWHEEL\n"
      "Hook5=MOUSEHWHEEL\n");
  for (int line = 2; line <= 6; ++line) {
    expectFinding(FINDING_ERROR, line, "\": it handles only LBUTTONDOWN, NCLBUTTONDOWN,");
    EXPECT_TRUE(hasFinding(line, "vorn has no event \"")) << allFindings();
    EXPECT_FALSE(hasFinding(line, "did you mean")) << allFindings();
  }
  EXPECT_TRUE(hasFinding(2, "RBUTTONDOWN, NCRBUTTONDOWN, RBUTTONUP, NCRBUTTONUP,"))
      << allFindings();
  EXPECT_TRUE(hasFinding(2, "XBUTTON2UP and NCXBUTTON2UP")) << allFindings();
}

// The right button's release and double clicks, the middle double clicks
// and the numbered extra buttons are events with lists.
TEST_F(VorncheckTest, EventsOfTheOtherButtonsAreKnown) {
  check(
      "[List1]\nHook1=RBUTTONUP\nHook2=NCRBUTTONDBLCLK\nHook3=MBUTTONDBLCLK\n"
      "Hook4=XBUTTON1DOWN\nHook5=NCXBUTTON2UP\nHook6=xbutton2down\n");
  for (int line = 2; line <= 6; ++line) EXPECT_FALSE(hasFinding(line, "event")) << allFindings();
  expectFinding(FINDING_ERROR, 7, "(did you mean \"XBUTTON2DOWN\"? names are case-sensitive)");
}

TEST_F(VorncheckTest, EventNamesWithTheMessagePrefixOrFarFromAnyAreExplained) {
  check("[List1]\nHook1=WM_NCMBUTTONUP\nHook2=Frobnicate\n");
  expectFinding(FINDING_ERROR, 2, "(did you mean \"NCMBUTTONUP\"? events are named without WM_)");
  expectFinding(FINDING_ERROR, 3, "unknown event \"Frobnicate\": the events are LBUTTONDOWN,");
}

TEST_F(VorncheckTest, UnknownActionWithoutANearMissListsTheActions) {
  check("[List1]\nHook1=MBUTTONUP\n1.Match=.Foreground\n1.Action=Jump\n");
  expectFinding(FINDING_ERROR, 4, "(the actions are LowerAndSwitch, MinimizeOrLower,");
  EXPECT_TRUE(hasFinding(4, "ThroughWithNoActivate, Close, Minimize and ToggleTopmost)"))
      << allFindings();
}

TEST_F(VorncheckTest, AnActionIsNotCommentedOut) {
  check("[List1]\nHook1=MBUTTONUP\nDefault.Action=;NoAction\n");
  expectFinding(FINDING_ERROR, 3, "a ';' does not comment an action out");
}

TEST_F(VorncheckTest, UnknownHitTestNameWithoutANearMissListsTheAreas) {
  check(
      "[List1]\nHook1=MBUTTONUP\n1.Match=Cap\n1.Action=NoAction\n"
      "[Match.Cap]\nnPattern=1\n1.NCHitTest=TITLEBAR\n");
  expectFinding(FINDING_ERROR, 7, "(the areas are NOWHERE, CLIENT, CAPTION,");
}

TEST_F(VorncheckTest, ClassNamesWithWildcardsAreAWarning) {
  check(
      "[List1]\nHook1=MBUTTONUP\n1.Match=Note\n1.Action=NoAction\n"
      "[Match.Note]\nnPattern=2\n1.Invoked.Class=Note*\n2.Active.Class=Edit\n"
      "2.Parent.Class=Dlg?\n");
  expectFinding(FINDING_WARNING, 7,
                "\"Note*\" is compared whole and exactly: * and ? are no "
                "wildcards");
  expectFinding(FINDING_WARNING, 9, "\"Dlg?\" is compared whole and exactly");
  EXPECT_EQ(1, found.exitCode()) << allFindings();
}

// GetClassNameA gives a class name in the ANSI code page: the bytes of a
// name written in UTF-8 (here "Caf\u00e9") are never those.
TEST_F(VorncheckTest, ClassNamesOutsideAsciiAreAWarning) {
  check(
      "[List1]\nHook1=MBUTTONUP\n1.Match=Cafe\n1.Action=NoAction\n"
      "[Match.Cafe]\nnPattern=1\n1.Invoked.Class=Caf\xC3\xA9\n");
  expectFinding(FINDING_WARNING, 7, "holds characters outside ASCII: it is compared byte for byte");
  EXPECT_EQ(1, found.exitCode()) << allFindings();
}

// Notepad's "UTF-16 LE": the profile functions read such a file as
// Unicode, and so does vorncheck, to the line of each mistake.
TEST_F(VorncheckTest, AUtf16FileIsReadAsUnicode) {
  std::string text =
      "[List1]\r\nHook1=NCMBUTTONUP\r\n1.Match=.Foreground\r\n"
      "1.Action=LowerAndSwich\r\n[Options]\r\nUseXMOUS=1\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : text) utf16 += std::string(1, c) + '\0';
  check(utf16);
  EXPECT_TRUE(doc.isUnicode());
  expectFinding(FINDING_ERROR, 4, "did you mean \"LowerAndSwitch\"");
  expectFinding(FINDING_WARNING, 6, "unknown option \"UseXMOUS\"");
  EXPECT_EQ(2, (int)found.all().size()) << allFindings();
}

TEST_F(VorncheckTest, ForegroundSuffixInOtherLetterCaseIsNamed) {
  check(
      "[List1]\nHook1=MBUTTONUP\n1.Match=Caption.notforeground\n1.Action=NoAction\n"
      "2.Match=Caption.FOREGROUND\n2.Action=NoAction\n"
      "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n");
  expectFinding(FINDING_ERROR, 3,
                "writes \".notforeground\" where the suffix is "
                "\".NotForeground\" (letter case counts)");
  EXPECT_TRUE(hasFinding(3,
                         "the match name \"Caption.notforeground\", which has no "
                         "[Match.Caption.notforeground] section"))
      << allFindings();
  expectFinding(FINDING_ERROR, 5, "writes \".FOREGROUND\" where the suffix is \".Foreground\"");
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

// What is not loaded is checked all the same: one run shows every
// mistake, each on its line.
TEST_F(VorncheckTest, MistakesInARuleAfterAGapAreReportedToo) {
  check(
      "[List1]\nHook1=LBUTTONUP\n1.Match=.Foreground\n3.Match=Captoin\n"
      "3.Action=LowerAndSwich\n3.Action.IfNextIsMinimized=skip\n");
  expectFinding(FINDING_ERROR, 4,
                "rule 3 of List1 is not loaded: rules end at the first gap, and "
                "2.Match is missing; and also: it names the match \"Captoin\", "
                "which has no [Match.Captoin] section");
  expectFinding(FINDING_ERROR, 5,
                "rule 3 of List1 is not loaded, and also: unknown action "
                "\"LowerAndSwich\" (did you mean \"LowerAndSwitch\"?)");
  expectFinding(FINDING_ERROR, 6,
                "rule 3 of List1 is not loaded, and also: unknown policy "
                "\"skip\"");
}

TEST_F(VorncheckTest, MistakesInAHookAfterAGapAreReportedToo) {
  check("[List1]\nHook1=LBUTTONUP\nHook3=XBUTTONUP\n");
  expectFinding(FINDING_ERROR, 3,
                "Hook3 of List1 is ignored: the Hook keys end at Hook2, which is "
                "missing; and also: vorn has no event \"XBUTTONUP\"");
}

TEST_F(VorncheckTest, MistakesInAListAfterAMissingOneAreReportedToo) {
  check(
      "[List1]\nHook1=LBUTTONUP\n[List3]\nHook1=NCXBUTTONUP\n1.Match=Nothing\n"
      "1.Action=Iconify\n3.Match=.Foreground\n4.Match=.Foreground\n");
  expectFinding(FINDING_ERROR, 3, "List2 is missing");
  expectFinding(FINDING_ERROR, 4,
                "[List3] is not loaded, and also: vorn has no event "
                "\"NCXBUTTONUP\"");
  expectFinding(FINDING_ERROR, 5,
                "[List3] is not loaded, and also: rule 1 of List3 names the "
                "match \"Nothing\"");
  expectFinding(FINDING_ERROR, 6,
                "[List3] is not loaded, and also: unknown action \"Iconify\" "
                "for rule 1 of List3 (the actions are");
  expectFinding(FINDING_ERROR, 7,
                "[List3] is not loaded, and also: rule 3 of List3 is not "
                "loaded: rules end at the first gap, and 2.Match is missing");
  expectFinding(FINDING_ERROR, 8, "rule 4 of List3 is not loaded");
}

TEST_F(VorncheckTest, MistakesInAListSectionInOtherLetterCaseAreReportedToo) {
  check("[list1]\nHook1=LBUTTONUPP\n");
  expectFinding(FINDING_ERROR, 1, "named exactly [List1]");
  expectFinding(FINDING_ERROR, 2,
                "[list1] is not loaded, and also: unknown event \"LBUTTONUPP\" "
                "(did you mean \"LBUTTONUP\"?)");
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

TEST_F(VorncheckTest, ProgramTitleAndKeysMistakesAreFound) {
  check(
      "[List1]\nHook1=NCMBUTTONUP\n1.Match=M\n1.Action=Minimize\n[Match.M]\nnPattern=4\n"
      "1.Process=C:\\Apps\\Code.exe\n2.Process=\n2.NCHitTest=CAPTION\n3.Keys=Ctrl+Shfit\n"
      "4.Titel=*Notepad\n");
  expectFinding(FINDING_ERROR, 7, "names a folder");
  expectFinding(FINDING_ERROR, 7, "write \"Code.exe\"");
  expectFinding(FINDING_WARNING, 8, "an empty Process names no program");
  expectFinding(FINDING_ERROR, 10, "unknown key name \"Shfit\" in Keys");
  expectFinding(FINDING_ERROR, 10, "did you mean \"Shift\"");
  expectFinding(FINDING_WARNING, 11, "unknown key \"4.Titel\" is ignored");
  expectFinding(FINDING_WARNING, 11, "did you mean \"4.Title\"");
}

// ---- explain ----------------------------------------------------------------------------------

class ExplainTest : public VorncheckTest {
 protected:
  std::string explain(ClickDescription click) {
    return printedText("vorncheck-explain.txt", [&](FILE *out) { explainClick(click, doc, out); });
  }

  std::string explain(const char *event, const char *invoked, int hitTest, int foreground) {
    ClickDescription description;
    description.eventSlot = eventSlotIndex(event);
    description.invokedClass = invoked;
    description.hitTest = hitTest;
    description.foreground = foreground;
    return explain(description);
  }

  static bool says(const std::string &text, const std::string &words) {
    return text.find(words) != std::string::npos;
  }
};

const char MIDDLE_CAPTION_LIST[] =
    "[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption.NotForeground\n1.Action=LowerAndSwitch\n"
    "2.Match=Caption\n2.Action=MinimizeOrLower\n"
    "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n";

TEST_F(ExplainTest, NamesTheWinnerAndWhyEarlierRulesLost) {
  check(MIDDLE_CAPTION_LIST);
  std::string text = explain("NCMBUTTONUP", "Notepad", HTCAPTION, 1);
  EXPECT_TRUE(says(text,
                   "rule 1: match \"Caption\" (only when not foreground), action "
                   "\"LowerAndSwitch\": its match holds, its foreground condition does not"))
      << text;
  EXPECT_TRUE(says(text, "winner: rule 2, action \"MinimizeOrLower\"")) << text;
  EXPECT_TRUE(says(text,
                   "verdict: 4 (MA_NOACTIVATEANDEAT): \"MinimizeOrLower\" runs; the click is "
                   "swallowed"))
      << text;
  EXPECT_TRUE(says(text,
                   "the press (NCMBUTTONDOWN, which has no list of its own) is decided by "
                   "this list: the press is swallowed"))
      << text;
}

// The press and its release's explanation say the same of the press: the
// release's list decides it, and nothing runs on it.
TEST_F(ExplainTest, MiddlePressWithoutAListIsDecidedByItsRelease) {
  check(MIDDLE_CAPTION_LIST);
  std::string press = explain("NCMBUTTONDOWN", "Notepad", HTCAPTION, 0);
  EXPECT_TRUE(says(press,
                   "NCMBUTTONDOWN has no list of its own: the mouse hook decides the press "
                   "by the list of its release, NCMBUTTONUP (List1), and runs no action"))
      << press;
  EXPECT_TRUE(says(press, "winner: rule 1, action \"LowerAndSwitch\"")) << press;
  EXPECT_TRUE(says(press,
                   "verdict: 4 (MA_NOACTIVATEANDEAT): the press is swallowed: the window "
                   "does not get it; nothing runs on the press, \"LowerAndSwitch\" runs on "
                   "the release"))
      << press;
  EXPECT_FALSE(says(press, "no list handles")) << press;
  std::string release = explain("NCMBUTTONUP", "Notepad", HTCAPTION, 0);
  EXPECT_TRUE(says(release,
                   "is decided by this list: the press is swallowed: the window does not "
                   "get it; nothing runs on the press, \"LowerAndSwitch\" runs on the "
                   "release"))
      << release;

  std::string client = explain("NCMBUTTONDOWN", "Notepad", HTCLIENT, 0);
  EXPECT_TRUE(says(client, "winner: the default rule, action \"Default\"")) << client;
  EXPECT_TRUE(says(client,
                   "verdict: 1 (MA_ACTIVATE): the press goes on to the window; nothing "
                   "runs on the press\n"))
      << client;
}

TEST_F(ExplainTest, MiddlePressWithAListOfItsOwnIsDecidedByIt) {
  check(
      "[List1]\nHook1=NCMBUTTONUP\n1.Match=\n1.Action=LowerAndSwitch\n"
      "[List2]\nHook1=NCMBUTTONDOWN\n1.Match=\n1.Action=Default\n");
  std::string press = explain("NCMBUTTONDOWN", "Notepad", HTCAPTION, 0);
  EXPECT_TRUE(says(press, "NCMBUTTONDOWN is handled by List2")) << press;
  EXPECT_TRUE(says(press, "verdict: 1 (MA_ACTIVATE): nothing runs; the click goes on")) << press;
  std::string release = explain("NCMBUTTONUP", "Notepad", HTCAPTION, 0);
  EXPECT_FALSE(says(release, "the press")) << release;
}

TEST_F(ExplainTest, MiddlePressWithoutAnyListPasses) {
  check("[List1]\nHook1=LBUTTONUP\n");
  std::string press = explain("MBUTTONDOWN", "Notepad", HTCLIENT, 1);
  EXPECT_TRUE(says(press,
                   "no list handles MBUTTONDOWN, nor its release MBUTTONUP, whose list would "
                   "decide it: verdict 1 (MA_ACTIVATE)"))
      << press;
}

// What each kind of winner makes of the click: only an action that does
// something is said to run.
TEST_F(ExplainTest, TheWinnersActionSaysWhatRunsAndWhereTheClickGoes) {
  struct Case {
    const char *action;
    const char *click;
    const char *press;
  } cases[] = {
      {"Default", "verdict: 1 (MA_ACTIVATE): nothing runs; the click goes on to the window",
       "verdict: 1 (MA_ACTIVATE): the press goes on to the window; nothing runs on the press"},
      {"NoAction", "verdict: 4 (MA_NOACTIVATEANDEAT): nothing runs; the click is swallowed",
       "verdict: 4 (MA_NOACTIVATEANDEAT): the press is swallowed"},
      {"RaiseAndDefault",
       "verdict: 1 (MA_ACTIVATE): \"RaiseAndDefault\" runs; the click goes on to the window",
       "verdict: 4 (MA_NOACTIVATEANDEAT): the press is swallowed: the window does not get it; "
       "nothing runs on the press, \"RaiseAndDefault\" runs on the release"},
      {"ThroughWithNoActivate",
       "verdict: 3 (MA_NOACTIVATE): nothing runs; the window gets the click, later hooks do not",
       "verdict: 3 (MA_NOACTIVATE): the press goes on to the window, not to later hooks"},
      {"Through", "verdict: 1 (MA_ACTIVATE): nothing runs; the click goes on to the window",
       "verdict: 1 (MA_ACTIVATE): the press goes on to the window"},
      {"Bogus",
       "verdict: 1 (MA_ACTIVATE): \"Bogus\" is no action: nothing runs; the click goes on to the "
       "window",
       "verdict: 4 (MA_NOACTIVATEANDEAT): the press is swallowed: the window does not get it; "
       "\"Bogus\" is no action: nothing runs on the press nor on the release"},
  };
  for (const Case &each : cases) {
    check(std::string("[List1]\nHook1=MBUTTONUP\nDefault.Action=") + each.action + "\n");
    std::string click = explain("MBUTTONUP", "Notepad", HTCLIENT, 1);
    EXPECT_TRUE(says(click, each.click)) << each.action << ":\n" << click;
    EXPECT_FALSE(says(click, "the action runs")) << click;
    std::string press = explain("MBUTTONDOWN", "Notepad", HTCLIENT, 1);
    EXPECT_TRUE(says(press, each.press)) << each.action << ":\n" << press;
    releaseConfiguration();
  }
}

// Under simulated focus-follows-mouse a pass-through asks the window.
TEST_F(ExplainTest, ThroughLetsTheWindowDecideUnderSimulatedActivation) {
  check(
      "[Options]\nThroughSimulateWM_MOUSEACTIVATE=1\n[List1]\nHook1=MBUTTONUP\n"
      "Default.Action=Through\n");
  std::string click = explain("MBUTTONUP", "Notepad", HTCLIENT, 1);
  EXPECT_TRUE(says(click,
                   "verdict: the window's answer to WM_MOUSEACTIVATE: nothing runs; the "
                   "window's own answer to WM_MOUSEACTIVATE decides whether it gets the "
                   "click\n"))
      << click;
  std::string press = explain("MBUTTONDOWN", "Notepad", HTCLIENT, 1);
  EXPECT_TRUE(says(press, "decides whether it gets the press; nothing runs on the press\n"))
      << press;
}

// A rule whose match holds but whose action is empty hands the click on:
// the explanation names the action that runs and its verdict.
TEST_F(ExplainTest, ARuleWithAnEmptyActionHandsTheClickToALaterRule) {
  check("[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=\n2.Match=Caption\n"
        "2.Action=MinimizeOrLower\n[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n");
  std::string text = explain("NCMBUTTONUP", "Notepad", HTCAPTION, 1);
  EXPECT_TRUE(says(text, "winner: rule 2, action \"MinimizeOrLower\"")) << text;
  EXPECT_TRUE(says(text,
                   "verdict: 4 (MA_NOACTIVATEANDEAT): \"MinimizeOrLower\" runs; the click is "
                   "swallowed"))
      << text;
}

TEST_F(ExplainTest, AnEmptyDefaultActionRunsNothing) {
  check("[List1]\nHook1=MBUTTONUP\nDefault.Action=\n");
  std::string text = explain("MBUTTONUP", "Notepad", HTCLIENT, 1);
  EXPECT_TRUE(says(text,
                   "verdict: 1 (MA_ACTIVATE): the action is empty: nothing runs; the click "
                   "goes on to the window"))
      << text;
}

TEST_F(ExplainTest, AFailedMatchSaysWhereItFails) {
  check(
      "[List1]\nHook1=MBUTTONUP\n1.Match=Missing\n1.Action=NoAction\n2.Match=Counted\n"
      "2.Action=NoAction\n3.Match=Patterns\n3.Action=NoAction\n"
      "[Match.Counted]\nnPattern=0\n1.NCHitTest=CLIENT\n"
      "[Match.Patterns]\nnPattern=4\n1.NCHitTest=CAPTION\n2.Active.Class=Notepad\n"
      "3.Invoked.Class=Note*\n");
  std::string text = explain("MBUTTONUP", "Edit", HTCLIENT, 1);
  EXPECT_TRUE(says(text,
                   "rule 1: match \"Missing\", action \"NoAction\": its match does not hold: "
                   "there is no [Match.Missing] section, so the match has no Patterns\n"))
      << text;
  EXPECT_TRUE(says(text,
                   "rule 2: match \"Counted\", action \"NoAction\": its match does not hold: "
                   "[Match.Counted] has no Patterns (nPattern is missing, 0 or less)\n"))
      << text;
  EXPECT_TRUE(says(text,
                   "its match does not hold:\n"
                   "      Pattern 1 wants hit-test CAPTION; the click is on CLIENT\n"
                   "      Pattern 2 wants the click target of class \"Notepad\"; it is "
                   "\"Edit\"\n"
                   "      Pattern 3 wants the window under the pointer of class \"Note*\" "
                   "(exactly: * and ? are no wildcards); it is \"Edit\"\n"
                   "      Pattern 4 names nothing and never holds\n"))
      << text;
}

TEST_F(ExplainTest, ClickOutsideEveryMatchFallsToTheDefaultRule) {
  check("[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=LowerAndSwitch\n"
        "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n");
  std::string text = explain("NCMBUTTONUP", "Notepad", HTCLIENT, 0);
  EXPECT_TRUE(says(text, "its match does not hold")) << text;
  EXPECT_TRUE(says(text, "winner: the default rule, action \"Default\"")) << text;
  EXPECT_TRUE(says(text, "verdict: 1 (MA_ACTIVATE)")) << text;
  EXPECT_TRUE(says(text, "is decided by this list: the press goes on to the window")) << text;
}

TEST_F(ExplainTest, EventWithoutAListPasses) {
  check("[List1]\nHook1=LBUTTONUP\n");
  std::string text = explain("NCMBUTTONUP", "Notepad", HTCAPTION, 1);
  EXPECT_TRUE(says(text,
                   "no list handles NCMBUTTONUP: verdict 1 (MA_ACTIVATE): the click goes on "
                   "to the window"))
      << text;
}

// The program, the title and the keys held are part of the click that
// --explain describes: a rule that asks for them wins only when they are
// given, and the reason for a loss names the one that failed.
TEST_F(ExplainTest, ProgramTitleAndKeysDecideTheWalk) {
  check(
      "[List1]\nHook1=NCMBUTTONUP\n1.Match=Code\n1.Action=Through\n2.Match=CtrlCaption\n"
      "2.Action=Minimize\n[Match.Code]\nnPattern=1\n1.Process=code.exe\n1.Title=*Visual*\n"
      "[Match.CtrlCaption]\nnPattern=1\n1.NCHitTest=CAPTION\n1.Keys=Ctrl\n");
  ClickDescription click;
  click.eventSlot = eventSlotIndex("NCMBUTTONUP");
  click.invokedClass = "Chrome_WidgetWin_1";
  click.hitTest = HTCAPTION;
  std::string plain = explain(click);
  EXPECT_TRUE(says(plain, "Pattern 1 wants the program \"code.exe\"; it is \"\"")) << plain;
  EXPECT_TRUE(says(plain, "Pattern 1 wants the keys Ctrl held; the click has None")) << plain;
  click.keys = KEY_CTRL;
  EXPECT_TRUE(says(explain(click), "winner: rule 2, action \"Minimize\""));
  click.program = "C:\\Tools\\Code.EXE";
  click.title = "main.cpp - Visual Studio Code";
  std::string code = explain(click);
  EXPECT_TRUE(says(code, "winner: rule 1, action \"Through\"")) << code;
}

}  // namespace
}  // namespace vorntest
