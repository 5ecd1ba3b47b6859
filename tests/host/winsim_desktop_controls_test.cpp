// winsim's desktop controls: simulated threads and what they defer, the
// call records, simulated mouse input through the hook chain, and the
// switches that make hooks and settings fail. Host only: these controls
// are winsim's own and have no Windows counterpart.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <vector>

#include "support/message_sequence.h"
#include "winsim/control.h"

namespace {

const char *const CLASS_NAME = "vornDesktopControlsTest";

using vorntest::RecordedMessage;

vorntest::MessageLog received;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.record(window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

class DesktopControls : public ::testing::Test {
 protected:
  void SetUp() override {
    winsimResetDesktop();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = CLASS_NAME;
    ASSERT_NE(0, RegisterClassA(&wc));
    received.clear();
  }

  void TearDown() override { winsimResetDesktop(); }

  static HWND make(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND parent = NULL) {
    return CreateWindowExA(0, CLASS_NAME, "vorn", style, 100, 100, 300, 200, parent, NULL, NULL,
                           NULL);
  }

  static int count(HWND window, UINT message) { return received.count(window, message); }

  static std::vector<HWND> order() {
    std::vector<HWND> result;
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) result.push_back(w);
    return result;
  }
};

using Order = std::vector<HWND>;

// ---- threads --------------------------------------------------------------------------

TEST_F(DesktopControls, WindowsBelongToTheThreadThatWasCurrent) {
  DWORD main = GetCurrentThreadId();
  DWORD other = winsimCreateThread();
  ASSERT_NE(0u, other);
  ASSERT_NE(main, other);
  EXPECT_EQ(main, winsimSetCurrentThread(other));
  EXPECT_EQ(other, GetCurrentThreadId());
  HWND window = make();
  winsimSetCurrentThread(main);
  DWORD process = 0;
  EXPECT_EQ(other, GetWindowThreadProcessId(window, &process));
  EXPECT_EQ(GetCurrentProcessId(), process);
  DWORD foreign = winsimCreateThreadInProcess(0x777);
  winsimSetCurrentThread(foreign);
  EXPECT_EQ(0x777u, GetCurrentProcessId());
}

TEST_F(DesktopControls, AsynchronousMovesWaitForTheOwningThread) {
  DWORD main = GetCurrentThreadId();
  DWORD other = winsimCreateThread();
  HWND mine = make();
  winsimSetCurrentThread(other);
  HWND theirs = make();
  winsimRunThread(other);
  winsimSetCurrentThread(main);
  ASSERT_EQ((Order{theirs, mine}), order());
  received.clear();
  SetWindowPos(theirs, HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  EXPECT_EQ((Order{theirs, mine}), order()) << "a walk right after still sees the old order";
  EXPECT_EQ(0, count(theirs, WM_WINDOWPOSCHANGING));
  EXPECT_EQ(1, winsimPendingEventCount(other));
  winsimRunThread(other);
  EXPECT_EQ((Order{mine, theirs}), order());
  ASSERT_EQ(1, count(theirs, WM_WINDOWPOSCHANGED));
  for (const RecordedMessage &r : received.all()) {
    if (r.window == theirs) {
      EXPECT_EQ(other, r.threadId) << "the owning thread applies the move";
    }
  }
}

TEST_F(DesktopControls, SendingToAnotherThreadsWindowRunsAsThatThread) {
  DWORD main = GetCurrentThreadId();
  DWORD other = winsimCreateThread();
  winsimSetCurrentThread(other);
  HWND theirs = make(WS_POPUP);
  winsimSetCurrentThread(main);
  received.clear();
  SendMessageA(theirs, WM_USER, 0, 0);
  ASSERT_EQ(1u, received.size());
  EXPECT_EQ(other, received[0].threadId);
  EXPECT_EQ(main, GetCurrentThreadId());
  PostMessageA(theirs, WM_USER + 1, 0, 0);
  EXPECT_EQ(1, winsimQueuedMessageCount(other));
  EXPECT_EQ(0, count(theirs, WM_USER + 1));
  EXPECT_EQ(1, winsimRunThread(other));
  EXPECT_EQ(1, count(theirs, WM_USER + 1));
}

// A hung thread's windows time out for other threads' sends with a
// timeout, and answer again once it runs; its own sends are answered.
TEST_F(DesktopControls, HungThreadsTimeOutSendsWithATimeout) {
  DWORD main = GetCurrentThreadId();
  DWORD other = winsimCreateThread();
  winsimSetCurrentThread(other);
  HWND theirs = make();
  winsimSetCurrentThread(main);
  winsimHangThread(other, TRUE);
  received.clear();
  DWORD_PTR answer = 5;
  SetLastError(0);
  EXPECT_EQ(0, SendMessageTimeoutA(theirs, WM_NCHITTEST, 0, MAKELPARAM(250, 110), SMTO_ABORTIFHUNG,
                                   1000, &answer));
  EXPECT_EQ((DWORD)ERROR_TIMEOUT, GetLastError());
  EXPECT_EQ(0, count(theirs, WM_NCHITTEST));
  EXPECT_EQ(1, winsimCountMessages(theirs, WM_NCHITTEST, WINSIM_SENT)) << "recorded all the same";
  winsimSetCurrentThread(other);
  EXPECT_NE(0, SendMessageTimeoutA(theirs, WM_NCHITTEST, 0, MAKELPARAM(250, 110), SMTO_NORMAL, 1000,
                                   &answer));
  EXPECT_EQ((DWORD_PTR)HTCAPTION, answer);
  winsimSetCurrentThread(main);
  winsimHangThread(other, FALSE);
  EXPECT_NE(0, SendMessageTimeoutA(theirs, WM_NCHITTEST, 0, MAKELPARAM(250, 200), SMTO_ABORTIFHUNG,
                                   1000, &answer));
  EXPECT_EQ((DWORD_PTR)HTCLIENT, answer);
}

TEST_F(DesktopControls, ForegroundForAnotherThreadActivatesWhenItRuns) {
  DWORD main = GetCurrentThreadId();
  DWORD other = winsimCreateThread();
  HWND mine = make();
  winsimSetCurrentThread(other);
  HWND theirs = make(WS_OVERLAPPEDWINDOW);
  ShowWindow(theirs, SW_SHOWNA);
  winsimSetCurrentThread(main);
  ASSERT_EQ(mine, GetForegroundWindow());
  received.clear();
  SetForegroundWindow(theirs);
  EXPECT_EQ(nullptr, GetActiveWindow()) << "this thread lost the activation at once";
  EXPECT_EQ(1, count(mine, WM_ACTIVATEAPP));
  EXPECT_EQ(0, count(theirs, WM_ACTIVATE));
  winsimRunThread(other);
  EXPECT_EQ(theirs, GetForegroundWindow());
  EXPECT_EQ(1, count(theirs, WM_ACTIVATE));
  EXPECT_EQ((Order{theirs, mine}), order());
}

TEST_F(DesktopControls, GetMessageOnAnEmptyQueueEndsTheLoop) {
  static HWND target;
  target = make(WS_POPUP);
  winsimSetIdleHandler([] { PostMessageA(target, WM_USER + 2, 0, 0); });
  MSG msg;
  EXPECT_TRUE(GetMessageA(&msg, NULL, 0, 0));
  EXPECT_EQ((UINT)(WM_USER + 2), msg.message);
  winsimSetIdleHandler(NULL);
  EXPECT_FALSE(GetMessageA(&msg, NULL, 0, 0));
  EXPECT_EQ((UINT)WM_QUIT, msg.message);
  EXPECT_EQ(1, winsimIdleExitCount());
}

// ---- records ----------------------------------------------------------------------------

TEST_F(DesktopControls, CallsAreRecordedInOrder) {
  HWND window = make();
  winsimClearRecords();
  PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SendMessageA(window, WM_CHILDACTIVATE, 0, 0);
  SetWindowPos(window, HWND_BOTTOM, 1, 2, 3, 4, SWP_NOACTIVATE);
  SetForegroundWindow(window);
  keybd_event(VK_LWIN, 0, 0, 0);
  keybd_event(VK_LWIN, 0, KEYEVENTF_KEYUP, 0);
  SystemParametersInfoA(SPI_SETACTIVEWINDOWTRACKING, 0, (PVOID)1, 0);
  const char text[] = "\x83\x74\x83\x62";
  EXPECT_EQ(IDOK, MessageBoxA(window, text, "Error", MB_OK));

  ASSERT_EQ(2, winsimMessageRecordCount());
  EXPECT_EQ(WINSIM_POSTED, winsimMessageRecord(0)->kind);
  EXPECT_EQ((WPARAM)SC_MINIMIZE, winsimMessageRecord(0)->wParam);
  EXPECT_EQ(WINSIM_SENT, winsimMessageRecord(1)->kind);
  EXPECT_EQ(1, winsimCountMessages(window, WM_SYSCOMMAND, WINSIM_POSTED));
  EXPECT_EQ(0, winsimCountMessages(window, WM_SYSCOMMAND, WINSIM_SENT));
  ASSERT_EQ(1, winsimWindowPosRecordCount());
  EXPECT_EQ(HWND_BOTTOM, winsimWindowPosRecord(0)->insertAfter);
  EXPECT_EQ((UINT)SWP_NOACTIVATE, winsimWindowPosRecord(0)->flags);
  ASSERT_EQ(1, winsimForegroundRecordCount());
  EXPECT_EQ(window, winsimForegroundRecord(0));
  ASSERT_EQ(2, winsimKeyRecordCount());
  EXPECT_EQ(VK_LWIN, winsimKeyRecord(1)->virtualKey);
  EXPECT_EQ((DWORD)KEYEVENTF_KEYUP, winsimKeyRecord(1)->flags);
  ASSERT_EQ(1, winsimSettingRecordCount());
  EXPECT_EQ((UINT)SPI_SETACTIVEWINDOWTRACKING, winsimSettingRecord(0)->action);
  ASSERT_EQ(1, winsimMessageBoxRecordCount());
  EXPECT_STREQ(text, winsimMessageBoxRecord(0)->text);
  EXPECT_STREQ("Error", winsimMessageBoxRecord(0)->caption);
  EXPECT_EQ(window, winsimMessageBoxRecord(0)->owner);
  winsimClearRecords();
  EXPECT_EQ(0, winsimMessageRecordCount());
  EXPECT_EQ(0, winsimKeyRecordCount());
}

TEST_F(DesktopControls, KeyStrokesReachTheFocusWindowAndTheKeyState) {
  HWND window = make();
  ASSERT_EQ(window, GetFocus());
  keybd_event('M', 0, 0, 0);
  EXPECT_NE(0, GetAsyncKeyState('M') & 0x8000);
  keybd_event('M', 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(0, GetAsyncKeyState('M'));
  received.clear();
  winsimRunThread(GetCurrentThreadId());
  EXPECT_EQ(1, count(window, WM_KEYDOWN));
  EXPECT_EQ(1, count(window, WM_KEYUP));
}

// Each SendInput call is one numbered batch in the key record (keybd_event
// strokes carry 0); a call the model cannot carry out whole (a wrong
// structure size, mouse input) inserts nothing.
TEST_F(DesktopControls, SendInputCallsAreRecordedAsBatches) {
  make();
  winsimClearRecords();
  INPUT strokes[2] = {};
  strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
  strokes[0].ki.wVk = strokes[1].ki.wVk = 'M';
  strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
  keybd_event(VK_LSHIFT, 0, 0, 0);
  EXPECT_EQ(1u, SendInput(1, strokes, sizeof(INPUT)));
  EXPECT_NE(0, GetAsyncKeyState('M') & 0x8000);
  EXPECT_EQ(1u, SendInput(1, strokes + 1, sizeof(INPUT)));
  EXPECT_EQ(0u, SendInput(2, strokes, sizeof(INPUT) - 1));
  EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
  INPUT mixed[2] = {strokes[0], {}};
  mixed[1].type = INPUT_MOUSE;
  EXPECT_EQ(0u, SendInput(2, mixed, sizeof(INPUT)));
  EXPECT_EQ(0, GetAsyncKeyState('M') & 0x8000);
  ASSERT_EQ(3, winsimKeyRecordCount());
  EXPECT_EQ(0, winsimKeyRecord(0)->batch);
  EXPECT_EQ(1, winsimKeyRecord(1)->batch);
  EXPECT_EQ(2, winsimKeyRecord(2)->batch);
  EXPECT_EQ((DWORD)KEYEVENTF_KEYUP, winsimKeyRecord(2)->flags);
  EXPECT_NE(0, GetAsyncKeyState(VK_SHIFT) & 0x8000);
  keybd_event(VK_LSHIFT, 0, KEYEVENTF_KEYUP, 0);
}

TEST_F(DesktopControls, GetClassNameCallsAreCounted) {
  HWND window = make();
  winsimClearRecords();
  char name[32];
  GetClassNameA(window, name, sizeof name);
  GetClassNameA(NULL, name, sizeof name);
  EXPECT_EQ(2, winsimGetClassNameCallCount());
}

// ---- hooks and mouse input ------------------------------------------------------------------

LRESULT mouseHookAnswer;
std::vector<MOUSEHOOKSTRUCT> mouseHookCalls;
std::vector<WPARAM> mouseHookMessages;

LRESULT CALLBACK mouseHook(int code, WPARAM wParam, LPARAM lParam) {
  mouseHookCalls.push_back(*(const MOUSEHOOKSTRUCT *)lParam);
  mouseHookMessages.push_back(wParam);
  if (mouseHookAnswer) return mouseHookAnswer;
  return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(DesktopControls, MouseInputRunsTheMouseHooksBeforeTheWindow) {
  mouseHookAnswer = 0;
  mouseHookCalls.clear();
  mouseHookMessages.clear();
  HWND window = make();
  HHOOK hook = SetWindowsHookExA(WH_MOUSE, mouseHook, NULL, 0);
  ASSERT_NE(nullptr, hook);
  EXPECT_EQ(1, winsimInstalledHookCount(WH_MOUSE));
  winsimSetCallNextHookResult(0);
  winsimClearRecords();
  received.clear();
  EXPECT_EQ(1, winsimMouseInput(WM_NCLBUTTONDOWN, {250, 110}, window, HTCAPTION));
  ASSERT_EQ(1u, mouseHookCalls.size());
  EXPECT_EQ((WPARAM)WM_NCLBUTTONDOWN, mouseHookMessages[0]);
  EXPECT_EQ(window, mouseHookCalls[0].hwnd);
  EXPECT_EQ((UINT)HTCAPTION, mouseHookCalls[0].wHitTestCode);
  EXPECT_EQ(250, mouseHookCalls[0].pt.x);
  EXPECT_EQ(1, count(window, WM_NCLBUTTONDOWN));
  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  EXPECT_EQ(250, cursor.x) << "the input moved the cursor";
  EXPECT_EQ(110, cursor.y);
  ASSERT_EQ(1, winsimCallNextHookRecordCount());
  EXPECT_EQ(WM_NCLBUTTONDOWN, (UINT)winsimCallNextHookRecord(0)->wParam);

  mouseHookAnswer = 1;
  EXPECT_EQ(0, winsimMouseInput(WM_LBUTTONDOWN, {250, 200}, window, HTCLIENT));
  EXPECT_EQ(0, count(window, WM_LBUTTONDOWN)) << "a non-zero hook result discards the message";

  mouseHookAnswer = 0;
  winsimSetCallNextHookResult(1);
  EXPECT_EQ(0, winsimMouseInput(WM_LBUTTONUP, {250, 200}, window, HTCLIENT))
      << "the end of the chain answers what the control says";
  EXPECT_TRUE(UnhookWindowsHookEx(hook));
}

TEST_F(DesktopControls, ClicksOnInactiveWindowsActivateAsTheWindowAnswers) {
  HWND a = make(), b = make();
  ASSERT_EQ(b, GetForegroundWindow());
  received.clear();
  EXPECT_EQ(1, winsimMouseInput(WM_LBUTTONDOWN, {250, 200}, a, HTCLIENT));
  EXPECT_EQ(1, count(a, WM_MOUSEACTIVATE));
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_EQ(1, count(a, WM_LBUTTONDOWN));
  received.clear();
  EXPECT_EQ(1, winsimMouseInput(WM_LBUTTONDOWN, {250, 200}, a, HTCLIENT));
  EXPECT_EQ(0, count(a, WM_MOUSEACTIVATE)) << "the active window is not asked again";
}

TEST_F(DesktopControls, HookAndSettingFailuresCanBeForced) {
  winsimFailSetWindowsHook(TRUE);
  EXPECT_EQ(nullptr, SetWindowsHookExA(WH_MOUSE, mouseHook, NULL, 0));
  winsimFailSetWindowsHook(FALSE);
  HHOOK hook = SetWindowsHookExA(WH_MOUSE, mouseHook, NULL, 0);
  HHOOK second = SetWindowsHookExA(WH_GETMESSAGE, mouseHook, NULL, 0);
  ASSERT_NE(nullptr, hook);
  EXPECT_NE(hook, second);
  winsimFailUnhookWindowsHook(TRUE);
  EXPECT_FALSE(UnhookWindowsHookEx(hook));
  EXPECT_EQ(1, winsimInstalledHookCount(WH_MOUSE));
  winsimFailUnhookWindowsHook(FALSE);
  EXPECT_TRUE(UnhookWindowsHookEx(hook));
  EXPECT_EQ(0, winsimInstalledHookCount(WH_MOUSE));

  winsimSetActiveWindowTracking(TRUE);
  BOOL tracking = FALSE;
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &tracking, 0));
  EXPECT_TRUE(tracking);
  SystemParametersInfoA(SPI_SETACTIVEWINDOWTRACKING, 0, NULL, 0);
  EXPECT_FALSE(winsimActiveWindowTracking());
  winsimFailActiveWindowTracking(TRUE);
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &tracking, 0));
  winsimSetSystemMetric(SM_CXDRAG, 9);
  EXPECT_EQ(9, GetSystemMetrics(SM_CXDRAG));
}

TEST_F(DesktopControls, ResetForgetsEverything) {
  HWND window = make();
  SetWindowsHookExA(WH_MOUSE, mouseHook, NULL, 0);
  winsimSetSystemMetric(SM_CXDRAG, 9);
  DWORD other = winsimCreateThread();
  winsimResetDesktop();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(0, winsimInstalledHookCount(WH_MOUSE));
  EXPECT_EQ(4, GetSystemMetrics(SM_CXDRAG));
  EXPECT_EQ(nullptr, GetForegroundWindow());
  EXPECT_EQ(other, winsimCreateThread()) << "thread ids start over";
  EXPECT_EQ(nullptr, FindWindowA(CLASS_NAME, NULL));
}

}  // namespace
