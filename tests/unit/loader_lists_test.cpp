// Lists, their events and their rules as the loader compiles them.
#include "unit/loader_fixture.h"

#include "config/image_access.h"

namespace vorntest {
namespace {

// ---- which lists are loaded --------------------------------------------------

TEST_F(LoaderTest, ListsStopAtTheFirstMissingNumber) {
  ASSERT_EQ(1, load("[List1]\n1.Match=a\n[List2]\n1.Match=b\n[List4]\n1.Match=d\n"));
  ImageReader img = image();
  ASSERT_EQ(2, img.listCount());
  EXPECT_EQ("a", img.ruleMatchName(img.list(0), 1));
  EXPECT_EQ("b", img.ruleMatchName(img.list(1), 1));
}

TEST_F(LoaderTest, ListSectionNamesAreMatchedCaseSensitively) {
  ASSERT_EQ(1, load("[list1]\nHook1=LBUTTONDOWN\n1.Match=a\n"));
  ImageReader img = image();
  EXPECT_EQ(0, img.listCount());
  EXPECT_EQ(-1, img.header(HEADER_SLOT_LBUTTONDOWN));
}

// Section names beyond the 1024 bytes the loader reads are not seen, and
// the list scan stops at the first ListN it does not see.
TEST_F(LoaderTest, ListsWhoseNamesDoNotFitTheNameBufferAreNotSeen) {
  std::string file = "[List1]\nHook1=LBUTTONUP\n";
  // 100 sections of 10-character names with their NULs: 1100 bytes.
  for (int i = 0; i < 100; ++i) {
    char name[16];
    snprintf(name, sizeof name, "Filler%04d", i);
    file += std::string("[") + name + "]\nx=1\n";
  }
  file += "[List2]\nHook1=RBUTTONDOWN\n";
  ASSERT_EQ(1, load(file));
  ImageReader img = image();
  EXPECT_EQ(1, img.listCount());
  EXPECT_NE(-1, img.header(HEADER_SLOT_LBUTTONUP));
  EXPECT_EQ(-1, img.header(HEADER_SLOT_RBUTTONDOWN));
}

TEST_F(LoaderTest, ListBoundToNoEventIsStillCompiledAndChained) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n[List2]\n1.Match=x\n"));
  ImageReader img = image();
  ASSERT_EQ(2, img.listCount());
  int32_t second = img.list(1);
  for (uint32_t slot = HEADER_SLOT_LBUTTONDOWN; slot <= HEADER_SLOT_NCRBUTTONDOWN; slot += 4) {
    EXPECT_NE(second, img.header(slot)) << "slot " << slot;
  }
}

// ---- events ----------------------------------------------------------------------

TEST_F(LoaderTest, EventsFollowTheHookKeysUntilTheFirstEmptyOne) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONDOWN\nHook2=;LBUTTONUP\nHook3=NCRBUTTONDOWN\n"
                    "Hook5=MBUTTONUP\n"));
  ImageReader img = image();
  int32_t list = img.list(0);
  EXPECT_EQ(list, img.header(HEADER_SLOT_LBUTTONDOWN));
  EXPECT_EQ(-1, img.header(HEADER_SLOT_LBUTTONUP));  // commented out
  EXPECT_EQ(list, img.header(HEADER_SLOT_NCRBUTTONDOWN));
  EXPECT_EQ(-1, img.header(HEADER_SLOT_MBUTTONUP));  // after the gap at Hook4
}

TEST_F(LoaderTest, MissingHookKeyEndsTheEventScan) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONDOWN\nHook3=LBUTTONUP\n"));
  EXPECT_EQ(-1, image().header(HEADER_SLOT_LBUTTONUP));
}

TEST_F(LoaderTest, EveryEventNameSetsItsOwnSlot) {
  const struct {
    const char *name;
    uint32_t slot;
  } events[] = {{"LBUTTONDOWN", 8},    {"NCLBUTTONDOWN", 12},   {"LBUTTONUP", 16},
                {"NCLBUTTONUP", 20},   {"LBUTTONDBLCLK", 24},   {"NCLBUTTONDBLCLK", 28},
                {"MBUTTONDOWN", 32},   {"NCMBUTTONDOWN", 36},   {"MBUTTONUP", 40},
                {"NCMBUTTONUP", 44},   {"RBUTTONDOWN", 48},     {"NCRBUTTONDOWN", 52}};
  for (const auto &event : events) {
    ASSERT_EQ(1, load(std::string("[List1]\nHook1=") + event.name + "\n"));
    ImageReader img = image();
    for (uint32_t slot = 8; slot <= 52; slot += 4) {
      EXPECT_EQ(slot == event.slot ? 60 : -1, img.header(slot)) << event.name << " slot " << slot;
    }
    releaseConfiguration();
  }
}

TEST_F(LoaderTest, UnknownAndMiscasedEventNamesHaveNoEffect) {
  ASSERT_EQ(1, load("[List1]\nHook1=lbuttondown\nHook2=WM_LBUTTONDOWN\nHook3=RBUTTONDOWN\n"));
  ImageReader img = image();
  EXPECT_EQ(-1, img.header(HEADER_SLOT_LBUTTONDOWN));
  EXPECT_EQ(60, img.header(HEADER_SLOT_RBUTTONDOWN));
}

TEST_F(LoaderTest, LaterListTakesAnEventFromAnEarlierOne) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\nHook2=RBUTTONDOWN\n[List2]\nHook1=LBUTTONUP\n"));
  ImageReader img = image();
  EXPECT_EQ(img.list(1), img.header(HEADER_SLOT_LBUTTONUP));
  EXPECT_EQ(img.list(0), img.header(HEADER_SLOT_RBUTTONDOWN));
}

// The events without a header slot: each sets its own bit of its list's
// claimed events, and touches no slot; a list that claims none keeps 0 in
// that field, as every image of a file without them has.
TEST_F(LoaderTest, EventsWithoutASlotAreClaimedByTheirList) {
  const char *names[] = {"RBUTTONUP",     "NCRBUTTONUP",     "MBUTTONDBLCLK", "NCMBUTTONDBLCLK",
                         "RBUTTONDBLCLK", "NCRBUTTONDBLCLK", "XBUTTON1DOWN",  "NCXBUTTON1DOWN",
                         "XBUTTON1UP",    "NCXBUTTON1UP",    "XBUTTON2DOWN",  "NCXBUTTON2DOWN",
                         "XBUTTON2UP",    "NCXBUTTON2UP"};
  ASSERT_EQ((size_t)CLAIMED_EVENT_COUNT, sizeof names / sizeof names[0]);
  for (int bit = 0; bit < CLAIMED_EVENT_COUNT; ++bit) {
    ASSERT_EQ(1, load(std::string("[List1]\nHook1=") + names[bit] + "\n[List2]\n1.Match=x\n"));
    ImageReader img = image();
    EXPECT_EQ(1 << bit, img.field(img.list(0) + LIST_CLAIMED_EVENTS)) << names[bit];
    EXPECT_EQ(0, img.field(img.list(1) + LIST_CLAIMED_EVENTS)) << names[bit];
    for (uint32_t slot = 8; slot <= 52; slot += 4) EXPECT_EQ(-1, img.header(slot)) << names[bit];
    releaseConfiguration();
  }
}

TEST_F(LoaderTest, LaterListTakesAClaimedEventFromAnEarlierOne) {
  ASSERT_EQ(1, load("[List1]\nHook1=RBUTTONUP\nHook2=XBUTTON2UP\nHook3=RBUTTONDOWN\n"
                    "[List2]\nHook1=RBUTTONUP\n[List3]\n1.Match=x\n"));
  ImageReader img = image();
  EXPECT_EQ(img.list(1), claimedEventList(CLAIMED_BIT_RBUTTONUP));
  EXPECT_EQ(img.list(0), claimedEventList(CLAIMED_BIT_XBUTTON2UP));
  EXPECT_EQ(-1, claimedEventList(CLAIMED_BIT_NCRBUTTONUP));
  EXPECT_EQ(img.list(0), img.header(HEADER_SLOT_RBUTTONDOWN));
}

// ---- rules -----------------------------------------------------------------------

TEST_F(LoaderTest, RulesAfterAGapInTheNumberingAreNotLoaded) {
  ASSERT_EQ(1, load("[List1]\n1.Match=a\n3.Match=c\n3.Action=NoAction\n"));
  ImageReader img = image();
  EXPECT_EQ(1, img.ruleCount(img.list(0)));
  EXPECT_EQ(1, img.matchCount());
}

TEST_F(LoaderTest, ForegroundSuffixesAreTakenOffOnce) {
  ASSERT_EQ(1, load("[List1]\n1.Match=.Foreground\n2.Match=Win.NotForeground\n"
                    "3.Match=Win.Foreground.NotForeground\n4.Match=Win\n"
                    "5.Match=Foreground\n6.Match=Win.foreground\n"));
  ImageReader img = image();
  int32_t list = img.list(0);
  ASSERT_EQ(6, img.ruleCount(list));
  EXPECT_EQ("", img.ruleMatchName(list, 1));
  EXPECT_EQ(FOREGROUND_ONLY, img.ruleForeground(list, 1));
  EXPECT_EQ("Win", img.ruleMatchName(list, 2));
  EXPECT_EQ(FOREGROUND_NOT, img.ruleForeground(list, 2));
  EXPECT_EQ("Win.Foreground", img.ruleMatchName(list, 3));
  EXPECT_EQ(FOREGROUND_NOT, img.ruleForeground(list, 3));
  EXPECT_EQ("Win", img.ruleMatchName(list, 4));
  EXPECT_EQ(FOREGROUND_NONE, img.ruleForeground(list, 4));
  EXPECT_EQ("Foreground", img.ruleMatchName(list, 5));  // no dot: no suffix
  EXPECT_EQ("Win.foreground", img.ruleMatchName(list, 6));
  EXPECT_EQ(FOREGROUND_NONE, img.ruleForeground(list, 6));
  EXPECT_EQ(img.ruleMatch(list, 2), img.ruleMatch(list, 4));  // one record for "Win"
}

TEST_F(LoaderTest, MissingActionIsDefaultAndEmptyActionStaysEmpty) {
  ASSERT_EQ(1, load("[List1]\n1.Match=a\n2.Match=b\n2.Action=\n3.Match=c\n3.Action=Minimize All\n"
                    "Default.Action=\n"));
  ImageReader img = image();
  int32_t list = img.list(0);
  EXPECT_EQ("Default", img.ruleAction(list, 1));
  EXPECT_EQ("", img.ruleAction(list, 2));
  EXPECT_EQ("Minimize All", img.ruleAction(list, 3));  // stored unchecked
  EXPECT_EQ("", img.ruleAction(list, 0));
}

TEST_F(LoaderTest, PoliciesAreExactNames) {
  ASSERT_EQ(1, load("[List1]\n1.Match=a\n1.Action.IfNextIsMinimized=Skip\n"
                    "2.Match=a\n2.Action.IfNextIsMinimized=Restore\n"
                    "3.Match=a\n3.Action.IfNextIsMinimized=skip\n"
                    "4.Match=a\n4.Action.IfNextIsMinimized=Skip it\n"
                    "Default.Action.IfNextIsMinimized=Restore\n"));
  ImageReader img = image();
  int32_t list = img.list(0);
  EXPECT_EQ(POLICY_SKIP, img.rulePolicy(list, 1));
  EXPECT_EQ(POLICY_RESTORE, img.rulePolicy(list, 2));
  EXPECT_EQ(POLICY_NONE, img.rulePolicy(list, 3));
  EXPECT_EQ(POLICY_NONE, img.rulePolicy(list, 4));
  EXPECT_EQ(POLICY_RESTORE, img.rulePolicy(list, 0));
}

// A commented-out rule keeps its number, so the rules after it still load,
// but it can neither win nor pass the click on to the next rule.
TEST_F(LoaderTest, CommentedOutRuleKeepsItsNumberAndNeverHolds) {
  ASSERT_EQ(1, load("[List1]\n1.Match=a\n2.Match=;b\n2.Action=NoAction\n"
                    "2.Action.IfNextIsMinimized=Skip\n3.Match=c\n"));
  ImageReader img = image();
  int32_t list = img.list(0);
  ASSERT_EQ(3, img.ruleCount(list));
  EXPECT_EQ("", img.ruleMatchName(list, 2));
  EXPECT_EQ(FOREGROUND_NEVER, img.ruleForeground(list, 2));
  EXPECT_EQ("", img.ruleAction(list, 2));
  EXPECT_EQ(POLICY_NONE, img.rulePolicy(list, 2));
  EXPECT_EQ("c", img.ruleMatchName(list, 3));
  // Nothing was read for the commented rule: no MatchRecord named ";b" or "b".
  EXPECT_EQ(3, img.matchCount());  // a, "", c
}

TEST_F(LoaderTest, DefaultRuleHasNoConditionAndComesLast) {
  ASSERT_EQ(1, load("[List1]\nDefault.Action=NoAction\n"));
  ImageReader img = image();
  int32_t list = img.list(0);
  EXPECT_EQ(0, img.ruleCount(list));
  EXPECT_EQ(FOREGROUND_NONE, img.ruleForeground(list, 0));
  EXPECT_EQ("NoAction", img.ruleAction(list, 0));
  // With no rules, the default action's string directly follows the record.
  EXPECT_EQ(60 + 168, img.field(list + LIST_ACTION));
}

TEST_F(LoaderTest, ValuesLongerThan255CharactersAreCut) {
  std::string action(300, 'x');
  ASSERT_EQ(1, load("[List1]\n1.Match=a\n1.Action=" + action + "\n"));
  EXPECT_EQ(std::string(255, 'x'), image().ruleAction(image().list(0), 1));
}

}  // namespace
}  // namespace vorntest
