// Messages on the desktop: queues and the message loop, sending and
// broadcasting, the default window procedure (system commands, closing,
// mouse activation, hit-tests), thread hooks, and the system settings and
// metrics the hook library reads.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "desktop_test_helpers.h"
#include "support/message_sequence.h"

namespace {

const char *const CLASS_NAME = "vornDesktopMessagesTest";
const UINT TEST_MESSAGE = WM_USER + 7;

vorntest::MessageLog received;

// GWLP_USERDATA, when set, is the window's answer to WM_MOUSEACTIVATE.
LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TEST_MESSAGE || message == WM_WININICHANGE || message == WM_MOUSEACTIVATE)
    received.record(window, message, wParam, lParam);
  if (message == TEST_MESSAGE) return (LRESULT)wParam + 1;
  LONG_PTR answer = GetWindowLongPtrA(window, GWLP_USERDATA);
  if (message == WM_MOUSEACTIVATE && answer) return answer;
  return DefWindowProcA(window, message, wParam, lParam);
}

class DesktopMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(0, desktop_test::registerClass(CLASS_NAME, recordingProc));
    pump();
    received.clear();
  }

  void TearDown() override {
    desktop_test::destroyNewestFirst(made);
    pump();
    UnregisterClassA(CLASS_NAME, GetModuleHandleA(NULL));
  }

  HWND make(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND parent = NULL, int x = 100,
            int y = 100, int cx = 300, int cy = 200) {
    HWND window = CreateWindowExA(0, CLASS_NAME, "vorn", style, x, y, cx, cy, parent, NULL,
                                  GetModuleHandleA(NULL), NULL);
    EXPECT_NE(nullptr, window);
    made.push_back(window);
    return window;
  }

  static void pump() { desktop_test::pumpThreadMessages(); }

  static RECT windowRect(HWND window) { return desktop_test::windowRectOf(window); }

  int count(HWND window, UINT message) const { return received.count(window, message); }

  std::vector<HWND> made;
};

using desktop_test::expectRect;

// ---- queues ----------------------------------------------------------------------------

TEST_F(DesktopMessages, PostedMessagesWaitUntilTheThreadRetrievesThem) {
  HWND window = make(WS_POPUP);
  ASSERT_TRUE(PostMessageA(window, TEST_MESSAGE, 1, 2));
  EXPECT_EQ(0, count(window, TEST_MESSAGE));
  MSG msg = {};
  ASSERT_TRUE(PeekMessageA(&msg, window, TEST_MESSAGE, TEST_MESSAGE, PM_NOREMOVE));
  EXPECT_EQ(window, msg.hwnd);
  EXPECT_EQ(1u, msg.wParam);
  EXPECT_EQ(2, msg.lParam);
  ASSERT_TRUE(GetMessageA(&msg, window, TEST_MESSAGE, TEST_MESSAGE));
  EXPECT_EQ(2, (int)DispatchMessageA(&msg));
  EXPECT_EQ(1, count(window, TEST_MESSAGE));
  EXPECT_FALSE(PeekMessageA(&msg, window, TEST_MESSAGE, TEST_MESSAGE, PM_NOREMOVE));
}

TEST_F(DesktopMessages, ThreadMessagesAndQuitComeInOrder) {
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), TEST_MESSAGE, 5, 0));
  PostQuitMessage(3);
  MSG msg = {};
  ASSERT_TRUE(GetMessageA(&msg, NULL, 0, 0));
  EXPECT_EQ(nullptr, msg.hwnd);
  EXPECT_EQ(TEST_MESSAGE, msg.message);
  EXPECT_EQ(5u, msg.wParam);
  EXPECT_FALSE(GetMessageA(&msg, NULL, 0, 0));
  EXPECT_EQ((UINT)WM_QUIT, msg.message);
  EXPECT_EQ(3u, msg.wParam);
}

TEST_F(DesktopMessages, SendingRunsTheProcedureAtOnce) {
  HWND window = make(WS_POPUP);
  EXPECT_EQ(42, SendMessageA(window, TEST_MESSAGE, 41, 0));
  EXPECT_EQ(1, count(window, TEST_MESSAGE));
}

// An answered send with a timeout gives the answer through its last
// argument; a window that is gone fails at once.
TEST_F(DesktopMessages, SendingWithATimeoutGivesTheAnswer) {
  HWND window = make(WS_POPUP);
  DWORD_PTR answer = 0;
  EXPECT_NE(0, SendMessageTimeoutA(window, TEST_MESSAGE, 41, 0, SMTO_ABORTIFHUNG, 500, &answer));
  EXPECT_EQ(42u, answer);
  EXPECT_EQ(1, count(window, TEST_MESSAGE));
  HWND gone = make(WS_POPUP);
  DestroyWindow(gone);
  answer = 7;
  EXPECT_EQ(0, SendMessageTimeoutA(gone, TEST_MESSAGE, 1, 0, SMTO_ABORTIFHUNG, 500, &answer));
  EXPECT_EQ(0, count(gone, TEST_MESSAGE));
}

TEST_F(DesktopMessages, BroadcastReachesEveryTopLevelWindow) {
  HWND visible = make();
  HWND hidden = make(WS_OVERLAPPEDWINDOW);
  HWND owned = make(WS_POPUP, visible);
  HWND child = make(WS_CHILD | WS_VISIBLE, visible);
  SendMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, 0);
  EXPECT_EQ(1, count(visible, WM_WININICHANGE));
  EXPECT_EQ(1, count(hidden, WM_WININICHANGE));
  EXPECT_EQ(1, count(owned, WM_WININICHANGE));
  EXPECT_EQ(0, count(child, WM_WININICHANGE));
}

// ---- default handling --------------------------------------------------------------------

TEST_F(DesktopMessages, SystemCommandsMinimiseMaximiseAndRestore) {
  HWND window = make();
  SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(window));
  expectRect(windowRect(window), 0, 744, 160, 768);
  SendMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(IsIconic(window));
  EXPECT_TRUE(IsZoomed(window));
  expectRect(windowRect(window), -4, -4, 1028, 772);
  SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(IsZoomed(window)) << "a window minimised from maximised restores to maximised";
  SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(window));
  expectRect(windowRect(window), 100, 100, 400, 300);
}

TEST_F(DesktopMessages, PostedSystemCommandsActWhenRetrieved) {
  HWND window = make();
  PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsIconic(window));
  pump();
  EXPECT_TRUE(IsIconic(window));
}

TEST_F(DesktopMessages, MinimisedWindowsLineUpAlongTheBottom) {
  HWND first = make(), second = make();
  ShowWindow(first, SW_MINIMIZE);
  ShowWindow(second, SW_MINIMIZE);
  expectRect(windowRect(first), 0, 744, 160, 768);
  expectRect(windowRect(second), 160, 744, 320, 768);
}

TEST_F(DesktopMessages, CaptionDoubleClickTogglesMaximised) {
  HWND window = make();
  SendMessageA(window, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(200, 110));
  EXPECT_TRUE(IsZoomed(window));
  SendMessageA(window, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(200, 5));
  EXPECT_FALSE(IsZoomed(window));
}

TEST_F(DesktopMessages, CloseDestroysTheWindow) {
  HWND window = make();
  HWND child = make(WS_CHILD | WS_VISIBLE, window);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(child));
}

TEST_F(DesktopMessages, MouseActivationAsksTheParentFirst) {
  HWND top = make();
  HWND child = make(WS_CHILD | WS_VISIBLE, top, 10, 10, 50, 50);
  LPARAM click = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
  EXPECT_EQ(MA_ACTIVATE, SendMessageA(child, WM_MOUSEACTIVATE, (WPARAM)top, click));
  EXPECT_EQ(1, count(top, WM_MOUSEACTIVATE)) << "passed on to the parent";
  SetWindowLongPtrA(top, GWLP_USERDATA, MA_NOACTIVATEANDEAT);
  EXPECT_EQ(MA_NOACTIVATEANDEAT, SendMessageA(child, WM_MOUSEACTIVATE, (WPARAM)top, click));
}

TEST_F(DesktopMessages, HitTestsFollowTheFrame) {
  HWND window = make();  // 100,100 to 400,300
  struct Probe {
    int x, y;
    LRESULT expected;
  } probes[] = {{250, 110, HTCAPTION},   {250, 200, HTCLIENT},  {101, 200, HTLEFT},
                {398, 200, HTRIGHT},     {250, 101, HTTOP},     {250, 298, HTBOTTOM},
                {101, 101, HTTOPLEFT},   {120, 101, HTTOPLEFT}, {122, 101, HTTOP},
                {104, 104, HTSYSMENU},   {390, 112, HTCLOSE},   {370, 112, HTMAXBUTTON},
                {352, 112, HTMINBUTTON}, {95, 105, HTNOWHERE},  {250, 122, HTNOWHERE},
                {250, 123, HTCLIENT},    {103, 200, HTLEFT},    {104, 200, HTCLIENT}};
  for (const Probe &p : probes) {
    EXPECT_EQ(p.expected, SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)))
        << "at " << p.x << "," << p.y;
  }
  HWND bordered = make(WS_POPUP | WS_BORDER | WS_VISIBLE, NULL, 500, 500, 100, 100);
  EXPECT_EQ(HTBORDER, SendMessageA(bordered, WM_NCHITTEST, 0, MAKELPARAM(500, 500)));
  EXPECT_EQ(HTCLIENT, SendMessageA(bordered, WM_NCHITTEST, 0, MAKELPARAM(501, 501)));
}

TEST_F(DesktopMessages, MinimisingTheActiveOwnerHidesItsPopupsUntilRestored) {
  HWND owner = make();
  HWND popup = make(WS_POPUP | WS_CAPTION | WS_VISIBLE, owner);
  HWND child = make(WS_CHILD | WS_VISIBLE, owner);
  SetForegroundWindow(owner);
  pump();
  SendMessageA(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(popup));
  EXPECT_TRUE(IsWindowVisible(child));
  SendMessageA(owner, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(IsWindowVisible(popup));
}

// ---- hooks ----------------------------------------------------------------------------------

std::vector<UINT> returnedMessages;
std::vector<WPARAM> retrievedRemoveFlags;
std::vector<int> chainOrder;
HHOOK newerHook, olderHook;

LRESULT CALLBACK returnHook(int code, WPARAM wParam, LPARAM lParam) {
  const CWPRETSTRUCT *info = (const CWPRETSTRUCT *)lParam;
  if (code == HC_ACTION && info->message == TEST_MESSAGE) returnedMessages.push_back(info->message);
  return CallNextHookEx(NULL, code, wParam, lParam);
}

LRESULT CALLBACK getMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG *msg = (const MSG *)lParam;
  if (code == HC_ACTION && msg->message == TEST_MESSAGE) retrievedRemoveFlags.push_back(wParam);
  return CallNextHookEx(NULL, code, wParam, lParam);
}

LRESULT CALLBACK olderChainHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG *msg = (const MSG *)lParam;
  if (code == HC_ACTION && msg->message == TEST_MESSAGE) chainOrder.push_back(2);
  return CallNextHookEx(olderHook, code, wParam, lParam);
}

LRESULT CALLBACK newerChainHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG *msg = (const MSG *)lParam;
  if (code == HC_ACTION && msg->message == TEST_MESSAGE) chainOrder.push_back(1);
  return CallNextHookEx(newerHook, code, wParam, lParam);
}

TEST_F(DesktopMessages, CallWindowReturnHooksSeeSentMessagesOnly) {
  returnedMessages.clear();
  HWND window = make(WS_POPUP);
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, returnHook, NULL, GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  SendMessageA(window, TEST_MESSAGE, 0, 0);
  PostMessageA(window, TEST_MESSAGE, 0, 0);
  pump();
  EXPECT_TRUE(UnhookWindowsHookEx(hook));
  EXPECT_EQ(1u, returnedMessages.size());
  EXPECT_EQ(2, count(window, TEST_MESSAGE));
}

TEST_F(DesktopMessages, GetMessageHooksTellWhetherTheMessageIsRemoved) {
  retrievedRemoveFlags.clear();
  HWND window = make(WS_POPUP);
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, getMessageHook, NULL, GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  PostMessageA(window, TEST_MESSAGE, 0, 0);
  MSG msg;
  PeekMessageA(&msg, window, TEST_MESSAGE, TEST_MESSAGE, PM_NOREMOVE);
  PeekMessageA(&msg, window, TEST_MESSAGE, TEST_MESSAGE, PM_REMOVE);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ((std::vector<WPARAM>{PM_NOREMOVE, PM_REMOVE}), retrievedRemoveFlags);
  EXPECT_FALSE(UnhookWindowsHookEx(hook)) << "a hook is removed once";
}

TEST_F(DesktopMessages, NewerHooksRunFirstAndCallNextReachesOlderOnes) {
  chainOrder.clear();
  HWND window = make(WS_POPUP);
  olderHook = SetWindowsHookExA(WH_GETMESSAGE, olderChainHook, NULL, GetCurrentThreadId());
  newerHook = SetWindowsHookExA(WH_GETMESSAGE, newerChainHook, NULL, GetCurrentThreadId());
  ASSERT_NE(nullptr, olderHook);
  ASSERT_NE(olderHook, newerHook);
  PostMessageA(window, TEST_MESSAGE, 0, 0);
  pump();
  UnhookWindowsHookEx(newerHook);
  UnhookWindowsHookEx(olderHook);
  EXPECT_EQ((std::vector<int>{1, 2}), chainOrder);
}

// ---- settings and input -----------------------------------------------------------------------

TEST_F(DesktopMessages, MetricsAreThoseOfTheTestDesktop) {
  EXPECT_EQ(1024, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(768, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(4, GetSystemMetrics(SM_CXDRAG));
  EXPECT_EQ(4, GetSystemMetrics(SM_CYDRAG));
  EXPECT_EQ(19, GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(4, GetSystemMetrics(SM_CXFRAME));
}

// The drag rectangle's width and height are set apart, for this session
// only (no profile write).
TEST_F(DesktopMessages, DragWidthAndHeightAreSetApart) {
  int width = GetSystemMetrics(SM_CXDRAG), height = GetSystemMetrics(SM_CYDRAG);
  EXPECT_TRUE(SystemParametersInfoA(SPI_SETDRAGWIDTH, 7, NULL, 0));
  EXPECT_EQ(7, GetSystemMetrics(SM_CXDRAG));
  EXPECT_EQ(height, GetSystemMetrics(SM_CYDRAG));
  EXPECT_TRUE(SystemParametersInfoA(SPI_SETDRAGHEIGHT, 2, NULL, 0));
  EXPECT_EQ(7, GetSystemMetrics(SM_CXDRAG));
  EXPECT_EQ(2, GetSystemMetrics(SM_CYDRAG));
  SystemParametersInfoA(SPI_SETDRAGWIDTH, (UINT)width, NULL, 0);
  SystemParametersInfoA(SPI_SETDRAGHEIGHT, (UINT)height, NULL, 0);
  EXPECT_EQ(width, GetSystemMetrics(SM_CXDRAG));
  EXPECT_EQ(height, GetSystemMetrics(SM_CYDRAG));
}

TEST_F(DesktopMessages, ActiveWindowTrackingCanBeSwitched) {
  BOOL original = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &original, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETACTIVEWINDOWTRACKING, 0, (PVOID)(INT_PTR)!original, 0));
  BOOL now = original;
  SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &now, 0);
  EXPECT_EQ(!original, now);
  SystemParametersInfoA(SPI_SETACTIVEWINDOWTRACKING, 0, (PVOID)(INT_PTR)original, 0);
  SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &now, 0);
  EXPECT_EQ(original, now);
}

TEST_F(DesktopMessages, TheCursorGoesWhereItIsSetWithinTheScreen) {
  POINT saved = {0, 0};
  ASSERT_TRUE(GetCursorPos(&saved));
  POINT at = {0, 0};
  ASSERT_TRUE(SetCursorPos(123, 234));
  ASSERT_TRUE(GetCursorPos(&at));
  EXPECT_EQ(123, at.x);
  EXPECT_EQ(234, at.y);
  SetCursorPos(-50, 100000);
  ASSERT_TRUE(GetCursorPos(&at));
  EXPECT_EQ(0, at.x);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - 1, at.y);
  SetCursorPos(saved.x, saved.y);
}

TEST_F(DesktopMessages, KeyStrokesShowInTheKeyStateUntilReleased) {
  const BYTE key = VK_SHIFT;
  keybd_event(key, 0, 0, 0);
  EXPECT_NE(0, GetAsyncKeyState(key) & 0x8000);
  keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(0, GetAsyncKeyState(key) & 0x8000);
  pump();
}

}  // namespace
