// The Pattern conditions on the program that owns the window under the
// pointer (<P>.Process), its root parent's title (<P>.Title) and the
// modifier keys held (<P>.Keys): each holding and failing, wildcards,
// letter case, keys with and without extra ones, and together with the
// class and hit-test conditions. Runs on the host and under Wine: the
// keys are real key strokes, the program is this test program itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "config/image_layout.h"
#include "config/loader_state.h"
#include "hooks/click_facts.h"
#include "hooks/match_window.h"
#include "unit/dispatch_fixture.h"
#include "windows/navigation.h"

namespace {

using vorntest::DispatchFixture;
using vorntest::rectAt;

struct ConditionCase {
  const char *pattern;  // the lines of Pattern 1 of [Match.M], '|' between them
  int onPane;           // clicks the pane (else the main window's caption)
  std::vector<BYTE> held;
  int matches;
};

class MatchConditionsTest : public DispatchFixture {
 protected:
  void SetUp() override {
    DispatchFixture::SetUp();
    createProbeDesktop(&main, &pane, &other);
    SetWindowTextA(main, "Report - Notepad");
  }

  void TearDown() override {
    releaseHeld();
    DispatchFixture::TearDown();
  }

  void hold(const std::vector<BYTE> &keys) {
    for (BYTE key : keys) keybd_event(key, 0, 0, 0);
    held = keys;
  }

  void releaseHeld() {
    for (BYTE key : held) keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    held.clear();
  }

  int matchOf(const ConditionCase &c) {
    std::string lines = "[List1]\r\nHook1=LBUTTONDOWN\r\n1.Match=M\r\n[Match.M]\r\nnPattern=1\r\n";
    for (const char *p = c.pattern; *p; ++p)
      lines += *p == '|' ? std::string("\r\n") : std::string(1, *p);
    loadIniText(lines + "\r\n");
    ImageOffset match = image().ruleMatch(image().list(0), 1);
    hold(c.held);
    HWND window = c.onPane ? pane : main;
    int result = matchWindow(match, window, clickTarget(window), rootParent(window),
                             c.onPane ? HTCLIENT : HTCAPTION);
    releaseHeld();
    return result;
  }

  HWND main = NULL, pane = NULL, other = NULL;
  std::vector<BYTE> held;
};

TEST_F(MatchConditionsTest, EachConditionHoldsAndFails) {
  const ConditionCase cases[] = {
      // the program: this test program, found without its folder
      {"1.Process=vorn_unit_tests*", 1, {}, 1},
      {"1.Process=VORN_Unit_Tests*", 1, {}, 1},
      {"1.Process=vorn_unit_test?*", 1, {}, 1},
      {"1.Process=*unit*", 0, {}, 1},
      {"1.Process=vorn_unit_test", 1, {}, 0},  // the whole name
      {"1.Process=notepad.exe", 1, {}, 0},
      {"1.Process=*\\vorn_unit_tests*", 1, {}, 0},  // no folder is compared
      // the root parent's title, whichever window is clicked
      {"1.Title=Report - Notepad", 1, {}, 1},
      {"1.Title=report - NOTEPAD", 0, {}, 1},
      {"1.Title=*notepad", 1, {}, 1},
      {"1.Title=Report?-?Notepad", 1, {}, 1},
      {"1.Title=*", 1, {}, 1},
      {"1.Title=Report", 1, {}, 0},
      {"1.Title=*Word*", 1, {}, 0},
      {"1.Title=?Report - Notepad", 1, {}, 0},
      // the keys: the set held equals the set named, left and right alike
      {"1.Keys=None", 1, {}, 1},
      {"1.Keys=None", 1, {VK_LSHIFT}, 0},
      {"1.Keys=Ctrl", 1, {VK_LCONTROL}, 1},
      {"1.Keys=Ctrl", 1, {VK_RCONTROL}, 1},
      {"1.Keys=Ctrl", 1, {}, 0},
      {"1.Keys=Ctrl", 1, {VK_LCONTROL, VK_LSHIFT}, 0},
      {"1.Keys=Shift+Ctrl", 1, {VK_RCONTROL, VK_LSHIFT}, 1},
      {"1.Keys=Ctrl+Shift", 1, {VK_LCONTROL}, 0},
      {"1.Keys=Alt", 1, {VK_LMENU}, 1},
      {"1.Keys=Win", 1, {VK_RWIN}, 1},
      {"1.Keys=Win", 1, {VK_LWIN}, 1},
      {"1.Keys=Ctrl+Sift", 1, {VK_LCONTROL}, 0},  // a name that is no key: never
      {"1.Keys=ctrl", 1, {VK_LCONTROL}, 0},       // key names are exact
      // together with the designed conditions: every one must hold
      {"1.NCHitTest=CAPTION|1.Keys=Ctrl", 0, {VK_LCONTROL}, 1},
      {"1.NCHitTest=CAPTION|1.Keys=Ctrl", 1, {VK_LCONTROL}, 0},
      {"1.NCHitTest=CAPTION|1.Keys=Ctrl", 0, {}, 0},
      {"1.Invoked.Class=vornProbePane|1.Title=*Notepad|1.Process=vorn*", 1, {}, 1},
      {"1.Invoked.Class=vornProbePane|1.Title=*Notepad|1.Process=vorn*", 0, {}, 0},
      {"1.Invoked.Class=vornProbePane|1.Title=*Word", 1, {}, 0},
      // an empty value names nothing: the Pattern names nothing at all
      {"1.Process=|1.Title=|1.Keys=", 1, {}, 0},
  };
  for (const ConditionCase &c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + (c.onPane ? " on the pane" : " on the caption") +
                 ", keys held: " + std::to_string(c.held.size()));
    EXPECT_EQ(c.matches, matchOf(c));
  }
}

// Conditions belong to their Pattern: a later Pattern's keys do not
// loosen an earlier one's, and a Pattern without new keys beside one with
// them keeps its designed meaning.
TEST_F(MatchConditionsTest, ConditionsBelongToTheirPattern) {
  loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=M", "[Match.M]", "nPattern=3",
           "1.Invoked.Class=vornProbePane", "1.Keys=Shift", "2.NCHitTest=CAPTION",
           "3.Title=*Notepad", "3.Keys=Alt"});
  ImageOffset match = image().ruleMatch(image().list(0), 1);
  auto matches = [&](HWND window, int hitTest) {
    return matchWindow(match, window, clickTarget(window), rootParent(window), hitTest);
  };
  EXPECT_EQ(0, matches(pane, HTCLIENT));
  EXPECT_EQ(1, matches(other, HTCAPTION));
  hold({VK_LSHIFT});
  EXPECT_EQ(1, matches(pane, HTCLIENT));
  EXPECT_EQ(0, matches(other, HTCLIENT));
  releaseHeld();
  hold({VK_LMENU});
  EXPECT_EQ(1, matches(main, HTCLIENT));
  EXPECT_EQ(0, matches(other, HTCLIENT));  // its title is not Notepad's
}

// A tool that gives a click its texts gets them as the hook reads them: a
// title as long as the hook's (two bytes a character), a program cut to its
// file name, both in upper case.
TEST(ClickTextTest, GivenTextsKeepWhatTheHookWouldRead) {
  ClickFacts facts;
  describeClickByClassNames(&facts, "", "", "", HTCLIENT, 0);
  std::string title(CLICK_TITLE_BUFFER_SIZE - 1, 'a');
  giveClickText(&facts, CLICK_TITLE, title.c_str());
  EXPECT_EQ(std::string(CLICK_TITLE_BUFFER_SIZE - 1, 'A'), clickText(&facts, CLICK_TITLE));
  giveClickText(&facts, CLICK_PROGRAM, "C:\\Tools\\code.exe");
  EXPECT_STREQ("CODE.EXE", clickText(&facts, CLICK_PROGRAM));
}

}  // namespace
