// MatchRecords and their Patterns as the loader compiles them.
#include "unit/loader_fixture.h"

#include "config/name_tables.h"

namespace vorntest {
namespace {

TEST_F(LoaderTest, OneRecordPerMatchNameAcrossListsAndTheMask) {
  ASSERT_EQ(1, load("[Options]\nThroughSimulateWM_MOUSEACTIVATE=1\nMaskXMOUSEOnMOUSEMOVE=1\n"
                    "[MaskXMOUSE]\nMatch=Shared\n"
                    "[List1]\n1.Match=Shared\n2.Match=shared\n[List2]\n1.Match=Shared.Foreground\n"
                    "[Match.Shared]\nnPattern=1\n1.Invoked.Class=Edit\n"));
  ImageReader img = image();
  int32_t shared = img.header(HEADER_MASKXMOUSE_MATCH);
  EXPECT_EQ(shared, img.ruleMatch(img.list(0), 1));
  EXPECT_EQ(shared, img.ruleMatch(img.list(1), 1));
  // A name that differs only in case is another record, reading the same
  // section (the profile functions ignore case).
  int32_t other = img.ruleMatch(img.list(0), 2);
  EXPECT_NE(shared, other);
  EXPECT_EQ("shared", img.matchName(other));
  EXPECT_EQ("Edit", img.invokedClass(other, 1));
  EXPECT_EQ(2, img.matchCount());
}

TEST_F(LoaderTest, MatchRecordIsFilledFromItsSection) {
  ASSERT_EQ(1, load("[List1]\n1.Match=Tray\n"
                    "[Match.Tray]\nnPattern=3\n"
                    "1.Invoked.Class=Shell_TrayWnd\n1.NCHitTest=CLIENT\n"
                    "2.Active.Class=Progman\n2.Parent.Class=Root\n"
                    "3.NCHitTest=caption\n"));
  ImageReader img = image();
  int32_t tray = img.ruleMatch(img.list(0), 1);
  ASSERT_EQ(3, img.patternCount(tray));
  EXPECT_EQ("Shell_TrayWnd", img.invokedClass(tray, 1));
  EXPECT_EQ("", img.activeClass(tray, 1));
  EXPECT_EQ(HTCLIENT, img.hitTest(tray, 1));
  EXPECT_EQ("Progman", img.activeClass(tray, 2));
  EXPECT_EQ("Root", img.parentClass(tray, 2));
  EXPECT_EQ(-1, img.hitTest(tray, 2));
  EXPECT_EQ(-1, img.hitTest(tray, 3));  // hit-test names are case-sensitive
}

TEST_F(LoaderTest, PatternStringsFollowTheirRecordInOrder) {
  ASSERT_EQ(1, load("[List1]\n1.Match=M\n[Match.M]\nnPattern=2\n"
                    "1.Invoked.Class=I1\n1.Active.Class=A1\n1.Parent.Class=P1\n"
                    "2.Invoked.Class=I2\n"));
  ImageReader img = image();
  int32_t m = img.ruleMatch(img.list(0), 1);
  int32_t name = img.field(m + MATCH_NAME);
  EXPECT_EQ(m + MATCH_RECORD_SIZE, name);
  EXPECT_EQ(name + 2, img.field(matchPatternField(m + MATCH_INVOKED_CLASS, 1)));
  EXPECT_EQ(name + 5, img.field(matchPatternField(m + MATCH_ACTIVE_CLASS, 1)));
  EXPECT_EQ(name + 8, img.field(matchPatternField(m + MATCH_PARENT_CLASS, 1)));
  EXPECT_EQ(name + 11, img.field(matchPatternField(m + MATCH_INVOKED_CLASS, 2)));
  EXPECT_EQ(name + 14, img.field(matchPatternField(m + MATCH_ACTIVE_CLASS, 2)));
  EXPECT_EQ(name + 15, img.field(matchPatternField(m + MATCH_PARENT_CLASS, 2)));
}

TEST_F(LoaderTest, PatternsAbove9AreKeyedByLetters) {
  std::string file = "[List1]\n1.Match=Many\n[Match.Many]\nnPattern=35\n";
  const char keys[] = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (int p = 1; p <= 35; ++p) {
    file += std::string(1, keys[p - 1]) + ".Invoked.Class=C" + std::to_string(p) + "\n";
  }
  ASSERT_EQ(1, load(file));
  ImageReader img = image();
  int32_t many = img.ruleMatch(img.list(0), 1);
  ASSERT_EQ(35, img.patternCount(many));
  for (int p = 1; p <= 35; ++p) EXPECT_EQ("C" + std::to_string(p), img.invokedClass(many, p));
}

// Patterns have slots only for 1 to 35: a larger count is held at 35 and a
// negative one counts as none, so nothing is written past the record.
TEST_F(LoaderTest, PatternCountIsHeldToTheSlotsThereAre) {
  ASSERT_EQ(1, load("[List1]\n1.Match=Big\n2.Match=Negative\n3.Match=Missing\n"
                    "[Match.Big]\nnPattern=1000\nZ.Invoked.Class=Last\n"
                    "[Match.Negative]\nnPattern=-4\n1.Invoked.Class=X\n"));
  ImageReader img = image();
  int32_t list = img.list(0);
  int32_t big = img.ruleMatch(list, 1);
  EXPECT_EQ(35, img.patternCount(big));
  EXPECT_EQ("Last", img.invokedClass(big, 35));
  EXPECT_EQ(0, img.patternCount(img.ruleMatch(list, 2)));
  EXPECT_EQ(0, img.patternCount(img.ruleMatch(list, 3)));
}

TEST_F(LoaderTest, EveryHitTestNameGivesItsCode) {
  const char *names[] = {"NOWHERE",  "CLIENT",     "CAPTION",     "SYSMENU",   "GROWBOX",
                         "MENU",     "HSCROLL",    "VSCROLL",     "MINBUTTON", "MAXBUTTON",
                         "LEFT",     "RIGHT",      "TOP",         "TOPLEFT",   "TOPRIGHT",
                         "BOTTOM",   "BOTTOMLEFT", "BOTTOMRIGHT", "BORDER",    "OBJECT",
                         "CLOSE",    "HELP"};
  for (int code = 0; code < 22; ++code) EXPECT_EQ(code, hitTestCodeFromName(names[code]));
  EXPECT_EQ(-1, hitTestCodeFromName(""));
  EXPECT_EQ(-1, hitTestCodeFromName("Caption"));
  EXPECT_EQ(-1, hitTestCodeFromName("HTCAPTION"));
  EXPECT_EQ(-1, hitTestCodeFromName(NULL));
}

// "Match." and a name over 249 characters do not fit a section name: such a
// match gets no Patterns rather than those of some cut-short section.
TEST_F(LoaderTest, OverlongMatchNameGetsNoPatterns) {
  std::string name(250, 'n');
  ASSERT_EQ(1, load("[List1]\n1.Match=" + name + "\n[Match." + name.substr(0, 249) +
                    "]\nnPattern=1\n1.NCHitTest=CAPTION\n"));
  ImageReader img = image();
  int32_t match = img.ruleMatch(img.list(0), 1);
  EXPECT_EQ(name, img.matchName(match));
  EXPECT_EQ(0, img.patternCount(match));
}

TEST_F(LoaderTest, LongestMatchNameWithASectionStillReadsIt) {
  std::string name(249, 'n');
  ASSERT_EQ(1, load("[List1]\n1.Match=" + name + "\n[Match." + name +
                    "]\nnPattern=1\n1.NCHitTest=CAPTION\n"));
  ImageReader img = image();
  int32_t match = img.ruleMatch(img.list(0), 1);
  EXPECT_EQ(1, img.patternCount(match));
  EXPECT_EQ(HTCAPTION, img.hitTest(match, 1));
}

// Keys, program and title live in a record of their own, placed at the
// first Pattern that names one and reached from the MatchRecord's Pattern-0
// Invoked field; a Pattern that names none has 0 in its fields, and a
// match that names none leaves that field unwritten (0).
TEST_F(LoaderTest, KeysProgramAndTitleLiveInARecordReachedFromPatternZero) {
  ASSERT_EQ(1, load("[List1]\n1.Match=M\n2.Match=Plain\n[Match.M]\nnPattern=3\n"
                    "1.Invoked.Class=I1\n2.Active.Class=A2\n2.Keys=Ctrl+Shift\n"
                    "2.Process=Code.exe\n3.Title=*Notepad\n3.Keys=None\n"
                    "[Match.Plain]\nnPattern=1\n1.NCHitTest=CAPTION\n"));
  ImageReader img = image();
  int32_t m = img.ruleMatch(img.list(0), 1);
  int32_t extras = img.field(m + MATCH_EXTRAS);
  int32_t active2 = img.field(matchPatternField(m + MATCH_ACTIVE_CLASS, 2));
  // After Pattern 2's class strings ("", "A2", ""), before its program.
  EXPECT_EQ(active2 + 4, extras);
  EXPECT_EQ(0, img.field(extras + extrasPatternField(1, EXTRAS_KEYS)));
  EXPECT_EQ(0, img.field(extras + extrasPatternField(1, EXTRAS_PROGRAM)));
  EXPECT_EQ(0, img.field(extras + extrasPatternField(1, EXTRAS_TITLE)));
  EXPECT_EQ(KEYS_NAMED | KEY_CTRL | KEY_SHIFT,
            img.field(extras + extrasPatternField(2, EXTRAS_KEYS)));
  EXPECT_EQ(extras + 3 * EXTRAS_PATTERN_SIZE,
            img.field(extras + extrasPatternField(2, EXTRAS_PROGRAM)));
  EXPECT_EQ("Code.exe", img.text(img.field(extras + extrasPatternField(2, EXTRAS_PROGRAM))));
  EXPECT_EQ(0, img.field(extras + extrasPatternField(2, EXTRAS_TITLE)));
  EXPECT_EQ(KEYS_NAMED, img.field(extras + extrasPatternField(3, EXTRAS_KEYS)));
  EXPECT_EQ("*Notepad", img.text(img.field(extras + extrasPatternField(3, EXTRAS_TITLE))));
  EXPECT_EQ(0, img.field(img.ruleMatch(img.list(0), 2) + MATCH_EXTRAS));
}

TEST_F(LoaderTest, KeyNamesOutsideTheListNeverMatch) {
  ASSERT_EQ(1, load("[List1]\n1.Match=M\n[Match.M]\nnPattern=4\n1.Keys=Win+Alt\n"
                    "2.Keys=Ctrl+\n3.Keys=CTRL\n4.Keys=Ctrl+None\n"));
  ImageReader img = image();
  int32_t extras = img.field(img.ruleMatch(img.list(0), 1) + MATCH_EXTRAS);
  EXPECT_EQ(KEYS_NAMED | KEY_WIN | KEY_ALT, img.field(extras + extrasPatternField(1, EXTRAS_KEYS)));
  EXPECT_EQ(KEYS_NAMED | KEY_CTRL | KEYS_UNKNOWN,
            img.field(extras + extrasPatternField(2, EXTRAS_KEYS)));
  EXPECT_EQ(KEYS_NAMED | KEYS_UNKNOWN, img.field(extras + extrasPatternField(3, EXTRAS_KEYS)));
  EXPECT_EQ(KEYS_NAMED | KEY_CTRL, img.field(extras + extrasPatternField(4, EXTRAS_KEYS)));
}

}  // namespace
}  // namespace vorntest
