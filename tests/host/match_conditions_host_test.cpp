// What a Title or Process condition costs the program whose click it
// decides: a title is read without waiting for the window's thread, and no
// other process is opened. Host only: winsim marks a thread hung
// (winsimHangThread), runs windows of other processes in this one and
// counts OpenProcess calls; under Wine a hung thread would hang the test.
#include <gtest/gtest.h>
#include <windows.h>

#include "config/image_layout.h"
#include "hooks/match_window.h"
#include "unit/dispatch_fixture.h"
#include "windows/navigation.h"
#include "winsim/control.h"

namespace {

using vorntest::DispatchFixture;

const char CLASS_NAME[] = "vornConditionProbe";
const DWORD OTHER_PROCESS = 4242;

class MatchConditionCost : public DispatchFixture {
 protected:
  void SetUp() override {
    DispatchFixture::SetUp();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = CLASS_NAME;
    RegisterClassA(&wc);  // windows of other threads outlive a test: so may their class
    loadIni({"[List1]", "Hook1=LBUTTONDOWN", "1.Match=Notepad", "2.Match=Code", "3.Match=Self",
             "[Match.Notepad]", "nPattern=1", "1.Title=*Notepad", "[Match.Code]", "nPattern=1",
             "1.Process=code.exe", "[Match.Self]", "nPattern=1", "1.Process=vorn_host_tests*"});
  }

  void TearDown() override {
    winsimSetProcessImagePath(OTHER_PROCESS, NULL);
    DispatchFixture::TearDown();
  }

  // A top-level window titled `title`, owned by `thread`.
  HWND createOn(DWORD thread, const char *title) {
    DWORD previous = winsimSetCurrentThread(thread);
    HWND window = CreateWindowExA(0, CLASS_NAME, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                  300, 200, NULL, NULL, NULL, NULL);
    winsimSetCurrentThread(previous);
    return window;
  }

  int matches(int rule, HWND window) {
    ImageOffset match = image().ruleMatch(image().list(0), rule);
    return matchWindow(match, window, clickTarget(window), rootParent(window), HTCAPTION);
  }
};

TEST_F(MatchConditionCost, TitleOfAHungThreadsWindowIsReadWithoutWaiting) {
  DWORD stuck = winsimCreateThread();
  HWND window = createOn(stuck, "Stuck - Notepad");
  ASSERT_NE(nullptr, window);
  winsimHangThread(stuck, TRUE);
  int waitsBefore = winsimHungWaitCount();

  EXPECT_EQ(1, matches(1, window));
  EXPECT_EQ(waitsBefore, winsimHungWaitCount());

  // What the title must not be read with: GetWindowText sends WM_GETTEXT
  // to a window of its caller's process, and this one never answers.
  char text[64];
  GetWindowTextA(window, text, sizeof text);
  EXPECT_EQ(waitsBefore + 1, winsimHungWaitCount());
  winsimHangThread(stuck, FALSE);
}

// The hook runs in the process that owns the clicked window: it names its
// own program from its own module and opens no process.
TEST_F(MatchConditionCost, ProgramIsFoundWithoutOpeningAProcess) {
  winsimSetProcessImagePath(OTHER_PROCESS, "C:\\Apps\\Code.exe");
  HWND foreign = createOn(winsimCreateThreadInProcess(OTHER_PROCESS), "Code");
  HWND own = createOn(GetCurrentThreadId(), "Own");
  int opened = winsimOpenProcessCallCount();

  EXPECT_EQ(1, matches(3, own));
  EXPECT_EQ(0, matches(2, own));
  EXPECT_EQ(0, matches(3, foreign));
  EXPECT_EQ(0, matches(2, foreign));  // only a tool that names it knows it
  EXPECT_EQ(opened, winsimOpenProcessCallCount());
}

}  // namespace
