// vorncheck --at on live windows: what it says of the window under the
// pointer (caption, client area, a child control, a window not in front, a
// topmost window, an MDI document), that it only looks, and that the match
// it offers, pasted into a file, holds for the same click; and the sample
// configuration against windows of the desktop's and the taskbar's
// classes. (A maximised window and another program's windows: tests/e2e.)
#include "unit/desktop_fixture.h"
#include "unit/loader_fixture.h"

#include <stdio.h>

#include "config/name_tables.h"
#include "explain.h"
#include "ini_document.h"
#include "match_snippet.h"
#include "point_report.h"
#include "private_compile.h"
#include "support/point_reports.h"
#include "support/printed_text.h"
#include "support/window_points.h"

namespace vorntest {
namespace {

class PointTest : public DesktopFixture {
 protected:
  void TearDown() override {
    releaseConfiguration();
    DeleteFileA(path.c_str());
    DesktopFixture::TearDown();
  }

  void configure(const std::string &text) {
    releaseConfiguration();
    ASSERT_TRUE(writeFileBytes(path, text));
    char fullPath[MAX_PATH];
    ASSERT_EQ(1, compilePrivately(path.c_str(), fullPath));
  }

  // Two overlapping windows, `front` in the foreground with a button.
  void makeDesktop() {
    back = createTopLevel(rectAt(100, 100, 400, 300));
    front = createTopLevel(rectAt(300, 250, 400, 300));
    button = createWindow(0, CHILD_STYLE, rectAt(20, 20, 100, 30), front, "Button");
    ASSERT_TRUE(makeForeground(front));
    stackFromTop({front, back});
  }

  std::string pointAt(POINT point) {
    return printedText("vorncheck-point.txt",
                       [&](FILE *out) { explainPoint(point, "vorn.ini", out); });
  }

  std::string pointAt(HWND window, LRESULT hitTest) {
    POINT point = {0, 0};
    EXPECT_TRUE(findVisiblePoint(window, hitTest, &point)) << "no such point of the window";
    return pointAt(point);
  }

  // The ready-to-paste lines at the end of a report.
  static std::string snippetOf(const std::string &report) {
    size_t start = report.find("[Match.");
    return start == std::string::npos ? std::string() : report.substr(start);
  }

  std::string path = temporaryPath("vorncheck-point.ini");
  HWND back = NULL, front = NULL, button = NULL;
};

TEST_F(PointTest, CaptionOfAWindowNotInFront) {
  configure(POINT_CONFIGURATION);
  makeDesktop();
  std::string text = pointAt(back, HTCAPTION);
  std::string backWindow = handleText(back) + ", class \"vornTestWindow\", title \"vorn test\"";
  EXPECT_TRUE(says(text, "window under the pointer: " + backWindow + "\n")) << text;
  EXPECT_TRUE(says(text, "click target: " + backWindow + "\n")) << text;
  EXPECT_TRUE(says(text, "root parent: " + backWindow + "\n")) << text;
  EXPECT_TRUE(says(text, "area: CAPTION (the window's answer to WM_NCHITTEST: 2)\n")) << text;
  EXPECT_TRUE(says(text,
                   "in front: no (the window activated last counts: now the foreground "
                   "window, " +
                       handleText(front)))
      << text;
  EXPECT_TRUE(
      says(text,
           "clicks here (off the client area: the NC events):\n"
           "  NCLBUTTONDBLCLK  List2, rule 1 (match \"Caption\"): \"ToggleMaximize\" "
           "runs; the click is swallowed: the window does not get it\n"
           "  NCMBUTTONDOWN    no list of its own: NCMBUTTONUP's List1 decides it, "
           "with rule 1 (match \"Caption\"): the press is swallowed: the window does "
           "not get it; nothing runs on the press, \"LowerAndSwitch\" runs on the "
           "release\n"
           "  NCMBUTTONUP      List1, rule 1 (match \"Caption\"): \"LowerAndSwitch\" "
           "runs; the click is swallowed: the window does not get it\n"
           "  no list: NCLBUTTONDOWN, NCLBUTTONUP, NCRBUTTONDOWN, NCRBUTTONUP, NCMBUTTONDBLCLK, "
           "NCRBUTTONDBLCLK, NCXBUTTON1DOWN, NCXBUTTON1UP, NCXBUTTON2DOWN, NCXBUTTON2UP: "
           "the click goes on "
           "to the window as usual\n"
           "  not sent here: MBUTTONUP (their lists are for clicks on the client "
           "area)\n"))
      << text;
  EXPECT_TRUE(says(text,
                   "why each rule wins or not: vorncheck --explain NCLBUTTONDBLCLK --class "
                   "\"vornTestWindow\" --active \"vornTestWindow\" --parent "
                   "\"vornTestWindow\" --hit CAPTION --background \"vorn.ini\"\n"))
      << text;
  EXPECT_TRUE(says(text,
                   "[Match.vornTestWindow]\nnPattern=1\n1.Active.Class=vornTestWindow\n"
                   "1.NCHitTest=CAPTION\n1.Process=vorn_unit_tests"))
      << text;
  // The program and the title, offered for the match (the title commented
  // out: it changes with what the window shows).
  EXPECT_TRUE(says(text, "\nprogram: vorn_unit_tests")) << text;
  EXPECT_TRUE(says(text, "\ntitle of the outermost parent: \"vorn test\"\n")) << text;
  EXPECT_TRUE(says(text, "\n;1.Title=vorn test\n")) << text;
}

// A rule whose match holds but whose action is empty hands the click on:
// the report names the rule and action that run.
TEST_F(PointTest, ARuleWithAnEmptyActionHandsTheClickToALaterRule) {
  configure(
      "[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=\n2.Match=Caption\n"
      "2.Action=MinimizeOrLower\n[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n");
  makeDesktop();
  std::string text = pointAt(back, HTCAPTION);
  EXPECT_TRUE(says(text,
                   "  NCMBUTTONUP      List1, rule 2 (match \"Caption\"): \"MinimizeOrLower\" "
                   "runs; the click is swallowed"))
      << text;
}

// Looking changes nothing: no window moves, none is activated, no command
// is sent.
TEST_F(PointTest, LookingChangesNothing) {
  configure(POINT_CONFIGURATION);
  makeDesktop();
  clearMessageLog();
  pointAt(back, HTCAPTION);
  pointAt(front, HTCAPTION);
  EXPECT_TRUE(flushPostedMessages());
  EXPECT_EQ((std::vector<HWND>{front, back}), zOrderOf({front, back}));
  EXPECT_EQ(front, GetForegroundWindow());
  EXPECT_EQ(0, countSystemCommands(back, SC_MINIMIZE) + countSystemCommands(front, SC_MINIMIZE));
  EXPECT_TRUE(messagesTo(back, WM_ACTIVATE).empty());
}

TEST_F(PointTest, CaptionOfTheWindowInFront) {
  configure(POINT_CONFIGURATION);
  makeDesktop();
  std::string text = pointAt(front, HTCAPTION);
  EXPECT_TRUE(says(text,
                   "in front: yes (the window activated last counts: now the foreground "
                   "window, " +
                       handleText(front)))
      << text;
  EXPECT_TRUE(says(text,
                   "  NCMBUTTONUP      List1, rule 2 (match \"Caption\"): \"MinimizeOrLower\" "
                   "runs; the click is swallowed"))
      << text;
  EXPECT_TRUE(says(text, "--hit CAPTION --foreground")) << text;
}

TEST_F(PointTest, ClientAreaSendsTheClientEvents) {
  configure(POINT_CONFIGURATION);
  makeDesktop();
  std::string text = pointAt(front, HTCLIENT);
  EXPECT_TRUE(says(text, "window under the pointer: " + handleText(front))) << text;
  EXPECT_TRUE(says(text, "area: CLIENT (the window's answer to WM_NCHITTEST: 1)\n")) << text;
  EXPECT_TRUE(says(
      text,
      "clicks here (on the client area):\n"
      "  MBUTTONDOWN      no list of its own: MBUTTONUP's List1 decides it, "
      "with the default rule: the press goes on to the window; nothing runs on "
      "the press\n"
      "  MBUTTONUP        List1, the default rule: nothing runs; the click goes "
      "on to the window\n"
      "  no list: LBUTTONDOWN, LBUTTONUP, LBUTTONDBLCLK, RBUTTONDOWN, RBUTTONUP, MBUTTONDBLCLK, "
      "RBUTTONDBLCLK, XBUTTON1DOWN, XBUTTON1UP, XBUTTON2DOWN, XBUTTON2UP: the click "
      "goes on to the window as usual\n"
      "  not sent here: NCLBUTTONDBLCLK, NCMBUTTONUP (their lists are for "
      "clicks off the client area)\n"))
      << text;
}

TEST_F(PointTest, AChildControlIsTheWindowUnderThePointer) {
  configure(POINT_CONFIGURATION);
  makeDesktop();
  std::string text = pointAt(button, HTCLIENT);
  std::string frontWindow = handleText(front) + ", class \"vornTestWindow\", title \"vorn test\"";
  EXPECT_TRUE(says(text, "window under the pointer: " + handleText(button) + ", class \"Button\""))
      << text;
  EXPECT_TRUE(says(text, "click target: " + frontWindow + "\n")) << text;
  EXPECT_TRUE(says(text, "root parent: " + frontWindow + "\n")) << text;
  EXPECT_TRUE(says(text,
                   "  MBUTTONUP        List1, rule 3 (match \"Button\"): nothing runs; the "
                   "click is swallowed: the window does not get it\n"))
      << text;
  EXPECT_TRUE(says(text,
                   "a rule names it as N.Match=vornTestWindow:\n[Match.vornTestWindow]\n"
                   "nPattern=1\n1.Invoked.Class=Button\n1.Active.Class=vornTestWindow\n"
                   "1.NCHitTest=CLIENT\n"))
      << text;
}

// The offered match, pasted into a file as it is, holds for the click it
// was made for.
TEST_F(PointTest, TheOfferedMatchHoldsForTheSameClick) {
  configure(POINT_CONFIGURATION);
  makeDesktop();
  POINT point = {0, 0};
  ASSERT_TRUE(findVisiblePoint(button, HTCLIENT, &point));
  std::string snippet = snippetOf(pointAt(point));
  ASSERT_FALSE(snippet.empty());
  configure("[List1]\nHook1=MBUTTONUP\n1.Match=vornTestWindow\n1.Action=Activate\n" + snippet);
  std::string text = pointAt(point);
  EXPECT_TRUE(says(text,
                   "  MBUTTONUP        List1, rule 1 (match \"vornTestWindow\"): \"Activate\" "
                   "runs"))
      << snippet << "\n"
      << text;
  POINT caption = {0, 0};
  ASSERT_TRUE(findVisiblePoint(front, HTCAPTION, &caption));
  EXPECT_FALSE(says(pointAt(caption), "rule 1")) << "the Pattern names the button and the area";
}

// The hooks count the window activated last as in front; without their
// activation hook, the highest window and every topmost window.
TEST_F(PointTest, InFrontFollowsTheActivationHookOption) {
  configure(POINT_CONFIGURATION);
  makeDesktop();
  HWND topmost = createTopmost(rectAt(600, 450, 300, 200));
  std::string withHook = pointAt(topmost, HTCAPTION);
  EXPECT_TRUE(says(withHook, "in front: no (the window activated last counts")) << withHook;
  EXPECT_TRUE(says(withHook, "List1, rule 1 (match \"Caption\"): \"LowerAndSwitch\"")) << withHook;
  configure(std::string("[Options]\nUseWH_CALLWNDPROC=0\n") + POINT_CONFIGURATION);
  lastActivatedWindow = NULL;
  std::string withoutHook = pointAt(topmost, HTCAPTION);
  EXPECT_TRUE(says(withoutHook,
                   "in front: yes (with UseWH_CALLWNDPROC=0 the highest window "
                   "counts, and every topmost window)\n"))
      << withoutHook;
  EXPECT_TRUE(says(withoutHook, "List1, rule 2 (match \"Caption\"): \"MinimizeOrLower\""))
      << withoutHook;
}

TEST_F(PointTest, AnMdiDocumentIsNamed) {
  configure(POINT_CONFIGURATION);
  MdiFrame mdi = createMdiFrame(rectAt(100, 100, 500, 400));
  HWND document = createMdiChild(mdi.client, rectAt(10, 10, 250, 200));
  ASSERT_NE(nullptr, document);
  ASSERT_TRUE(makeForeground(mdi.frame));
  std::string text = pointAt(document, HTCLIENT);
  EXPECT_TRUE(says(text, "click target: " + handleText(mdi.frame) + ", class \"vornTestFrame\""))
      << text;
  EXPECT_TRUE(says(
      text, "inside the MDI document " + handleText(document) + ", class \"vornTestMdiChild\""))
      << text;
  EXPECT_TRUE(says(text, "in front: yes (the highest document of its frame counts)\n")) << text;
}

// Class names as they are written into the offered match come back from
// the profile functions as they were, blanks and quotes at their ends too;
// the match's name is one a section and an N.Match value can carry.
TEST(MatchSnippet, ValuesReadBackAsTheClassNamesTheyWere) {
  const char *classes[] = {"Notepad",  " lead",   "trail\t", "\"quoted\"",
                           "'single'", "in side", "\"half"};
  std::string path = temporaryPath("vorncheck-snippet.ini");
  std::string file = "[Match.x]\n";
  for (size_t i = 0; i < sizeof classes / sizeof classes[0]; ++i) {
    file += std::to_string(i) + "=" + profileValue(classes[i]) + "\n";
  }
  ASSERT_TRUE(writeFileBytes(path, file));
  for (size_t i = 0; i < sizeof classes / sizeof classes[0]; ++i) {
    char value[256] = "";
    GetPrivateProfileStringA("Match.x", std::to_string(i).c_str(), "", value, sizeof value,
                             path.c_str());
    EXPECT_EQ(std::string(classes[i]), value) << file;
  }
  DeleteFileA(path.c_str());
  EXPECT_EQ("Afx1a2b-3", matchNameFor("Afx:1a2b-3"));
  EXPECT_EQ("32770", matchNameFor("#32770"));
  EXPECT_EQ("Window", matchNameFor("[]; "));
}

// ---- the sample ---------------------------------------------------------------------

// Windows of the shell's classes, as the desktop and the taskbar are made:
// the icon view inside its view window inside the desktop window, and the
// task buttons inside the taskbar.
class SampleTest : public PointTest {
 protected:
  void SetUp() override {
    PointTest::SetUp();
    for (const char *name : SHELL_CLASSES) registerClass(name, DefWindowProcA);
    std::string sample = readFileBytes(VORN_SOURCE_DIR "/examples/vorn.ini");
    ASSERT_FALSE(sample.empty());
    configure(sample);
  }

  void TearDown() override {
    PointTest::TearDown();
    for (const char *name : SHELL_CLASSES) UnregisterClassA(name, instance());
  }

  // A window of `className` at `rect` (in its parent's client area, or on
  // the screen); an empty `rect` fills the parent.
  HWND shellWindow(const char *className, HWND parent, RECT rect, DWORD exStyle = 0) {
    DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    if (parent && IsRectEmpty(&rect)) GetClientRect(parent, &rect);
    return createWindow(exStyle, style, rect, parent, className);
  }

  std::string explainClass(const char *event, const char *invoked, const char *active) {
    ClickDescription click;
    click.eventSlot = eventSlotIndex(event);
    click.invokedClass = invoked;
    click.activeClass = active;
    click.foreground = 0;
    IniDocument doc;
    EXPECT_TRUE(doc.load(path.c_str()));
    return printedText("vorncheck-explain.txt", [&](FILE *out) { explainClick(click, doc, out); });
  }

  static constexpr const char *SHELL_CLASSES[] = {"Progman",          "WorkerW",
                                                  "SHELLDLL_DefView", "SysListView32",
                                                  "Shell_TrayWnd",    "MSTaskListWClass"};
};

TEST_F(SampleTest, AMiddleClickOnTheDesktopShowsTheDesktop) {
  for (const char *desktopClass : {"Progman", "WorkerW"}) {
    HWND desktop = shellWindow(desktopClass, NULL, rectAt(0, 0, 700, 500));
    HWND view = shellWindow("SHELLDLL_DefView", desktop, RECT{0, 0, 0, 0});
    HWND icons = shellWindow("SysListView32", view, RECT{0, 0, 0, 0});
    stackFromTop({desktop});
    std::string text = pointAt(icons, HTCLIENT);
    EXPECT_TRUE(says(text, "click target: " + handleText(desktop))) << text;
    EXPECT_TRUE(says(text, SAMPLE_DESKTOP_PRESS)) << text;
    EXPECT_TRUE(says(text, SAMPLE_DESKTOP_RELEASE)) << text;
    DestroyWindow(desktop);
  }
  EXPECT_TRUE(says(explainClass("MBUTTONUP", "SysListView32", "Progman"),
                   "winner: rule 1, action \"ShowDesktop\""));
}

TEST_F(SampleTest, AMiddleClickOnTheTaskbarShowsTheDesktop) {
  int height = 30;
  RECT bar = rectAt(0, GetSystemMetrics(SM_CYSCREEN) - height, 800, height);
  HWND taskbar = shellWindow("Shell_TrayWnd", NULL, bar, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  HWND tasks = shellWindow("MSTaskListWClass", taskbar, rectAt(100, 0, 600, height));
  for (HWND window : {taskbar, tasks}) {
    std::string text = pointAt(window, HTCLIENT);
    EXPECT_TRUE(says(text, "click target: " + handleText(taskbar))) << text;
    EXPECT_TRUE(says(text, SAMPLE_DESKTOP_PRESS)) << text;
    EXPECT_TRUE(says(text, SAMPLE_DESKTOP_RELEASE)) << text;
  }
  EXPECT_TRUE(says(explainClass("MBUTTONUP", "MSTaskListWClass", "Shell_TrayWnd"),
                   "winner: rule 1, action \"ShowDesktop\""));
}

// What the sample says of captions holds: a middle click on the caption of
// a window not in front sends it back, on the one in front minimises it.
TEST_F(SampleTest, AMiddleClickOnACaptionLowersOrMinimises) {
  makeDesktop();
  EXPECT_TRUE(says(pointAt(back, HTCAPTION),
                   "  NCMBUTTONUP      List1, rule 2 (match "
                   "\"Caption\"): \"LowerAndSwitch\" runs"));
  EXPECT_TRUE(says(pointAt(front, HTCAPTION),
                   "  NCMBUTTONUP      List1, rule 3 (match "
                   "\"Caption\"): \"MinimizeOrLower\" runs"));
  EXPECT_TRUE(says(pointAt(front, HTCAPTION),
                   "  NCLBUTTONDBLCLK  List2, rule 1 (match "
                   "\"Caption\"): \"ToggleMaximize\" runs"));
}

}  // namespace
}  // namespace vorntest
