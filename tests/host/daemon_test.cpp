// vornd: starting, signalling a running instance, and its control window.
// Host only: the message loop would block in GetMessageA on Windows; here
// winsim's idle handler drives it, and the hook records show what happened.
#include "daemon_fixture.h"

#include <string.h>

#include "control_window.h"

namespace vorntest {
namespace {

std::vector<const char *> idleSteps;  // what the idle handler posts next
HWND controlWindow = NULL;

void postNextStep() {
  if (idleSteps.empty() || !controlWindow) return;
  const char *step = idleSteps.front();
  idleSteps.erase(idleSteps.begin());
  if (strcmp(step, "reload") == 0) PostMessageA(controlWindow, WM_COMMAND, VORN_COMMAND_RELOAD, 0);
  if (strcmp(step, "close") == 0) PostMessageA(controlWindow, WM_CLOSE, 0, 0);
}

class DaemonTest : public DaemonFixture {
 protected:
  void SetUp() override {
    DaemonFixture::SetUp();
    idleSteps.clear();
    controlWindow = NULL;
    winsimSetIdleHandler([] {
      if (!controlWindow) controlWindow = findControlWindow();
      postNextStep();
    });
  }

  // A stand-in for a running instance: it holds the instance lock and has
  // a window of the control class.
  static HWND fakeRunningInstance() {
    takeInstanceLock();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = VORN_CONTROL_CLASS;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, VORN_CONTROL_CLASS, VORN_CONTROL_TITLE, WS_POPUP, 0, 0, 0, 0, NULL,
                           NULL, NULL, NULL);
  }

  static int broadcasts() { return winsimCountMessages(HWND_BROADCAST, WM_WININICHANGE, WINSIM_SENT); }
};

TEST_F(DaemonTest, FirstStartInstallsTheHooksAnnouncesAndRunsUntilClosed) {
  idleSteps = {"close"};
  EXPECT_EQ(0, run({}));
  EXPECT_EQ(nullptr, findControlWindow());  // destroyed on close
  EXPECT_EQ(0, IsHooking());
  EXPECT_EQ(2, broadcasts());  // after installing and after removing
}

TEST_F(DaemonTest, ReloadRebuildsFromTheCurrentFile) {
  idleSteps = {"reload", "close"};
  winsimSetIdleHandler([] {
    if (!controlWindow) controlWindow = findControlWindow();
    if (idleSteps.size() == 2) {
      EXPECT_EQ(60, readImageInt(imageHeader, HEADER_SLOT_LBUTTONUP));
      writeFileBytes(programDirectoryIni(), "[List1]\nHook1=RBUTTONDOWN\n");
    } else if (idleSteps.size() == 1) {
      EXPECT_EQ(-1, readImageInt(imageHeader, HEADER_SLOT_LBUTTONUP));
      EXPECT_EQ(60, readImageInt(imageHeader, HEADER_SLOT_RBUTTONDOWN));
      EXPECT_EQ(1, IsHooking());
    }
    postNextStep();
  });
  EXPECT_EQ(0, run({}));
  EXPECT_EQ(3, broadcasts());
}

TEST_F(DaemonTest, SecondStartSignalsAReloadAndExits) {
  HWND running = fakeRunningInstance();
  ASSERT_NE(nullptr, running);
  EXPECT_EQ(0, run({}));
  EXPECT_EQ(1, winsimCountMessages(running, WM_COMMAND, WINSIM_POSTED));
  EXPECT_EQ(0, IsHooking());
  EXPECT_EQ(0, run({"anything"}));
  EXPECT_EQ(0, run({"--stop", "extra"}));
  EXPECT_EQ(3, winsimCountMessages(running, WM_COMMAND, WINSIM_POSTED));
  EXPECT_EQ(0, winsimCountMessages(running, WM_CLOSE, WINSIM_POSTED));
}

TEST_F(DaemonTest, StopClosesTheRunningInstance) {
  HWND running = fakeRunningInstance();
  EXPECT_EQ(0, run({"--stop"}));
  EXPECT_EQ(1, winsimCountMessages(running, WM_CLOSE, WINSIM_POSTED));
  EXPECT_EQ(0, winsimCountMessages(running, WM_COMMAND, -1));
}

TEST_F(DaemonTest, StopWithNothingRunningStartsNothing) {
  EXPECT_EQ(0, run({"--stop"}));
  EXPECT_EQ(nullptr, findControlWindow());
  EXPECT_EQ(0, IsHooking());
  EXPECT_EQ(0, winsimIdleExitCount());  // no message loop ran
}

TEST_F(DaemonTest, StopIsExactAndCaseSensitive) {
  auto stop = [](std::vector<const char *> arguments) {
    arguments.insert(arguments.begin(), "vornd");
    return isStopCommand((int)arguments.size(), const_cast<char **>(arguments.data()));
  };
  EXPECT_EQ(1, stop({"--stop"}));
  EXPECT_EQ(0, stop({"--STOP"}));
  EXPECT_EQ(0, stop({"-stop"}));
  EXPECT_EQ(0, stop({"--stop", "x"}));
  EXPECT_EQ(0, stop({}));
}

// What the idle handler saw once the first close had been handled; the
// test checks it after the loop, so that a loop that ended at that close
// (the handler never ran again) fails the test.
struct AfterFailedClose {
  bool seen;
  HWND window;
  int hooking;
};
AfterFailedClose afterFailedClose;

// The hooks cannot be removed: the daemon says so and stays, and a later
// close that succeeds ends it.
TEST_F(DaemonTest, FailedUnhookShowsTheMessageAndKeepsRunning) {
  idleSteps = {"close", "close"};
  afterFailedClose = {false, NULL, 0};
  winsimSetIdleHandler([] {
    if (!controlWindow) controlWindow = findControlWindow();
    if (idleSteps.size() == 2) winsimFailUnhookWindowsHook(TRUE);
    if (idleSteps.size() == 1) {
      afterFailedClose = {true, findControlWindow(), IsHooking()};
      winsimFailUnhookWindowsHook(FALSE);
    }
    postNextStep();
  });
  EXPECT_EQ(0, run({}));
  ASSERT_TRUE(afterFailedClose.seen) << "the message loop ended at the close that failed";
  EXPECT_NE(nullptr, afterFailedClose.window);
  EXPECT_EQ(controlWindow, afterFailedClose.window) << "the same window stays";
  EXPECT_EQ(1, afterFailedClose.hooking);
  EXPECT_TRUE(idleSteps.empty());
  ASSERT_EQ(1, winsimMessageBoxRecordCount());
  const WinsimMessageBoxRecord *box = winsimMessageBoxRecord(0);
  EXPECT_TRUE(box->wide) << "code-page text reads as Japanese on Japanese systems only";
  EXPECT_STREQ(L"\u30d5\u30c3\u30af\u89e3\u9664\u5931\u6557\nUnhooking failed.", box->wideText);
  EXPECT_STREQ(L"Error", box->wideCaption);
  EXPECT_EQ((UINT)MB_OK, box->type);
  EXPECT_NE(nullptr, box->owner);
  EXPECT_EQ(nullptr, findControlWindow());
}

TEST_F(DaemonTest, CloseWithoutHooksDestroysWithoutAnnouncing) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  ASSERT_NE(0, registerControlClass(instance));
  HWND window = createControlWindow(instance);
  ASSERT_NE(nullptr, window);
  MyEndHook();
  int before = broadcasts();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(before, broadcasts());
}

TEST_F(DaemonTest, ReloadCommandWithoutHooksInstallsThem) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  registerControlClass(instance);
  HWND window = createControlWindow(instance);
  MyEndHook();
  ASSERT_EQ(0, IsHooking());
  SendMessageA(window, WM_COMMAND, VORN_COMMAND_RELOAD, 0);
  EXPECT_EQ(1, IsHooking());
  SendMessageA(window, WM_COMMAND, 1125, 0);  // any other command: nothing
  EXPECT_EQ(1, IsHooking());
  DestroyWindow(window);
}

// Only the low word names the command: a menu or accelerator puts its
// notification code in the high word.
TEST_F(DaemonTest, ReloadCommandIsReadFromTheLowWordOnly) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  registerControlClass(instance);
  HWND window = createControlWindow(instance);
  MyEndHook();
  int before = broadcasts();
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(1125, VORN_COMMAND_RELOAD), 0);
  EXPECT_EQ(0, IsHooking());
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(VORN_COMMAND_RELOAD, 1), 0);
  EXPECT_EQ(1, IsHooking());
  EXPECT_EQ(before + 1, broadcasts());
  DestroyWindow(window);
}

TEST_F(DaemonTest, AnnounceBringsTheCompanionWindowForward) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "PrxTronCls";
  RegisterClassA(&windowClass);
  HWND companion = CreateWindowExA(0, "PrxTronCls", "any title", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   0, 0, 100, 100, NULL, NULL, NULL, NULL);
  winsimClearRecords();
  announce();
  ASSERT_EQ(1, winsimForegroundRecordCount());
  EXPECT_EQ(companion, winsimForegroundRecord(0));
}

TEST_F(DaemonTest, ControlWindowIsHiddenAndCarriesItsNameAsTitle) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  registerControlClass(instance);
  HWND window = createControlWindow(instance);
  ASSERT_NE(nullptr, window);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(window, FindWindowA("vornMainWnd", "vornMainWnd"));
  EXPECT_EQ((LONG)(WS_POPUP | WS_CAPTION), GetWindowLongA(window, GWL_STYLE) & (LONG)(WS_POPUP | WS_CAPTION));
  DestroyWindow(window);
}

}  // namespace
}  // namespace vorntest
