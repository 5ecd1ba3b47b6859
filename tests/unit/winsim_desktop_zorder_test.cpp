// Z-order and activation on the desktop: the topmost band, SetWindowPos
// with each kind of insert-after, owned windows moving with their owner,
// the messages a move sends, foreground and activation changes, and what
// takes over when the active window goes away.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "desktop_test_helpers.h"
#include "support/expect_messages.h"

namespace {

const char *const CLASS_NAME = "vornDesktopZOrderTest";
const UINT NO_SIZE_MOVE = SWP_NOSIZE | SWP_NOMOVE;
const UINT QUIET_MOVE = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;

using vorntest::MSG_LPARAM;
using vorntest::MSG_WPARAM;

vorntest::MessageLog received;

bool isTracked(UINT message) {
  switch (message) {
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_CHILDACTIVATE:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (isTracked(message)) received.record(window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// The window an owned window destroys when it is told it has moved.
HWND ownerToDestroy = NULL;

LRESULT CALLBACK destroyingOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGED && ownerToDestroy != NULL) {
    HWND owner = ownerToDestroy;
    ownerToDestroy = NULL;
    DestroyWindow(owner);  // takes `window` with it
    return 0;
  }
  return recordingProc(window, message, wParam, lParam);
}

class DesktopZOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(0, desktop_test::registerClass(CLASS_NAME, recordingProc));
    received.clear();
  }

  void TearDown() override {
    desktop_test::destroyNewestFirst(made);
    pump();
    UnregisterClassA(CLASS_NAME, GetModuleHandleA(NULL));
  }

  // A visible top-level window, activated as Windows does at creation.
  HWND make(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND parent = NULL, DWORD exStyle = 0,
            int x = 100, int y = 100) {
    HWND window = CreateWindowExA(exStyle, CLASS_NAME, "vorn", style, x, y, 300, 200, parent, NULL,
                                  GetModuleHandleA(NULL), NULL);
    EXPECT_NE(nullptr, window);
    made.push_back(window);
    return window;
  }

  static void pump() { desktop_test::pumpThreadMessages(); }

  static bool pumpUntil(const std::function<bool()> &condition) {
    for (int i = 0; i < 300; ++i) {
      pump();
      if (condition()) return true;
      Sleep(5);
    }
    return condition();
  }

  // The given windows in z-order, highest first; windows of other programs
  // are left out.
  std::vector<HWND> order() const {
    std::vector<HWND> result;
    if (made.empty()) return result;
    for (HWND w = GetWindow(made.front(), GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
      for (HWND mine : made) {
        if (w == mine) result.push_back(w);
      }
    }
    return result;
  }

  static bool topmost(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  }

  int count(HWND window, UINT message) const { return received.count(window, message); }

  // Leaves the desktop without a foreground window.
  void clearForeground() {
    HWND temporary = make();
    SetForegroundWindow(temporary);
    DestroyWindow(temporary);
    pump();
  }

  std::vector<HWND> made;
};

using Order = std::vector<HWND>;

// ---- z-order -----------------------------------------------------------------------

TEST_F(DesktopZOrder, NewTopLevelWindowsStartAtTheTop) {
  HWND a = make(), b = make(), c = make();
  EXPECT_EQ((Order{c, b, a}), order());
  HWND t = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, NULL, WS_EX_TOPMOST);
  HWND d = make();
  EXPECT_TRUE(topmost(t));
  EXPECT_EQ((Order{t, d, c, b, a}), order());
}

TEST_F(DesktopZOrder, TopmostWindowsStayAboveTheRest) {
  HWND a = make(), b = make(), c = make();
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ((Order{b, a, c}), order());
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ((Order{b, a, c}), order()) << "HWND_TOP stays below the topmost band";
  SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_FALSE(topmost(b));
  EXPECT_EQ((Order{a, b, c}), order()) << "HWND_NOTOPMOST: top of the other windows";
  SetWindowPos(c, HWND_NOTOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ((Order{a, b, c}), order()) << "a window that is not topmost does not move";
}

TEST_F(DesktopZOrder, BottomAndInsertAfterDecideTheTopmostBit) {
  HWND a = make(), b = make(), c = make(), d = make();
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_FALSE(topmost(a)) << "HWND_BOTTOM takes a window out of the band";
  EXPECT_EQ((Order{b, d, c, a}), order());
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ((Order{a, b, d, c}), order());
  SetWindowPos(a, c, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_FALSE(topmost(a)) << "after a window below the band";
  EXPECT_EQ((Order{b, d, c, a}), order());
  SetWindowPos(c, b, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_FALSE(topmost(c)) << "after the last topmost window: keeps its own state";
  EXPECT_EQ((Order{b, c, d, a}), order());
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, QUIET_MOVE);
  SetWindowPos(d, a, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_TRUE(topmost(d)) << "between two topmost windows";
  EXPECT_EQ((Order{a, d, b, c}), order());
}

TEST_F(DesktopZOrder, OwnedWindowsStayAboveTheirOwner) {
  HWND other = make();
  HWND owner = make();
  HWND owned = make(WS_POPUP | WS_CAPTION | WS_VISIBLE, owner);
  HWND latest = make();
  EXPECT_EQ((Order{latest, owned, owner, other}), order());
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ((Order{owned, owner, latest, other}), order()) << "raising the owner raises its popups";
  SetWindowPos(owned, HWND_BOTTOM, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ((Order{owned, owner, latest, other}), order()) << "lowering stops above the owner";
  SetWindowPos(owner, HWND_BOTTOM, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ((Order{owned, latest, other, owner}), order());
  HWND topmostOwner = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, NULL, WS_EX_TOPMOST);
  HWND ownedByTopmost = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, topmostOwner);
  EXPECT_TRUE(topmost(ownedByTopmost)) << "a window owned by a topmost window joins the band";
}

// Raising an owner first moves the windows it owns, and their window
// procedures may destroy the owner before its own move is made.
TEST_F(DesktopZOrder, AnOwnerDestroyedWhileItsPopupsMoveLeavesTheOrderWhole) {
  HWND other = make();
  HWND owner = make();
  HWND owned = make(WS_POPUP | WS_CAPTION | WS_VISIBLE, owner);
  HWND latest = make();
  ASSERT_EQ((Order{latest, owned, owner, other}), order());
  SetWindowLongPtrA(owned, GWLP_WNDPROC, (LONG_PTR)destroyingOwnerProc);
  ownerToDestroy = owner;
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, QUIET_MOVE);
  ownerToDestroy = NULL;
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_EQ((Order{latest, other}), order());
}

TEST_F(DesktopZOrder, MovesTellTheWindowOnlyWhatChanged) {
  HWND a = make(), b = make();
  pump();
  received.clear();
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ(1, count(b, WM_WINDOWPOSCHANGING));
  EXPECT_EQ(0, count(b, WM_WINDOWPOSCHANGED)) << "nothing changed";
  received.clear();
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ(1, count(a, WM_WINDOWPOSCHANGING));
  EXPECT_EQ(1, count(a, WM_WINDOWPOSCHANGED));
  EXPECT_EQ(0, count(a, WM_ACTIVATE));
  received.clear();
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(1, count(a, WM_WINDOWPOSCHANGING));
  EXPECT_EQ(0, count(a, WM_WINDOWPOSCHANGED));
}

TEST_F(DesktopZOrder, ActivatingMovesOfChildrenSendChildActivate) {
  HWND parent = make();
  HWND child = make(WS_CHILD | WS_VISIBLE, parent);
  received.clear();
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, NO_SIZE_MOVE);
  EXPECT_EQ(1, count(child, WM_CHILDACTIVATE));
  received.clear();
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, QUIET_MOVE);
  EXPECT_EQ(0, count(child, WM_CHILDACTIVATE));
}

TEST_F(DesktopZOrder, AsynchronousMovesOfOwnWindowsApplyAtOnce) {
  HWND a = make(), b = make();
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, QUIET_MOVE | SWP_ASYNCWINDOWPOS);
  EXPECT_EQ((Order{a, b}), order());
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, QUIET_MOVE | SWP_ASYNCWINDOWPOS);
  EXPECT_EQ((Order{b, a}), order());
}

// ---- activation -------------------------------------------------------------------------

TEST_F(DesktopZOrder, ForegroundChangeDeactivatesThenActivatesAndRaisesLater) {
  HWND a = make(), b = make();
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == b; }));
  received.clear();
  ASSERT_TRUE(SetForegroundWindow(a));
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_EQ(a, GetActiveWindow());
  EXPECT_EQ(a, GetFocus());
  const unsigned both = MSG_WPARAM | MSG_LPARAM;
  EXPECT_MESSAGES(received.all(), {{b, WM_NCACTIVATE, both, FALSE, (LPARAM)a},
                                   {b, WM_ACTIVATE, both, WA_INACTIVE, (LPARAM)a},
                                   {a, WM_NCACTIVATE, both, TRUE, (LPARAM)b},
                                   {a, WM_ACTIVATE, both, WA_ACTIVE, (LPARAM)b},
                                   {b, WM_KILLFOCUS, both, (WPARAM)a, 0},
                                   {a, WM_SETFOCUS, both, (WPARAM)b, 0}});
  EXPECT_TRUE(pumpUntil([&] {
    return order() == Order({a, b});
  })) << "the activated window comes to the top once its thread handles messages";
  EXPECT_EQ(0, count(a, WM_WINDOWPOSCHANGED)) << "that raise sends no position messages";
}

// What the foreground lock lets through everywhere: the foreground process
// moving the foreground among its own windows; and its time-out, set in
// pvParam itself and read back through a DWORD. (Whom the lock refuses is
// pinned on the host: Wine has no lock.)
TEST_F(DesktopZOrder, TheForegroundProcessMovesTheForegroundAndTheLockTimeOutReadsBack) {
  HWND a = make(), b = make();
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == b; }));
  EXPECT_TRUE(SetForegroundWindow(a));
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_TRUE(SetForegroundWindow(b));
  EXPECT_EQ(b, GetForegroundWindow());
  DWORD saved = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, (PVOID)(UINT_PTR)1234, 0));
  DWORD timeout = 0;
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0));
  EXPECT_EQ(1234u, timeout);
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, (PVOID)(UINT_PTR)saved, 0);
}

TEST_F(DesktopZOrder, MinimisedWindowsStayMinimisedAndInPlaceWhenActivated) {
  HWND a = make(), b = make();
  SendMessageA(a, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(IsIconic(a));
  SetForegroundWindow(a);
  for (int i = 0; i < 10; ++i) {
    pump();
    Sleep(5);
  }
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_TRUE(IsIconic(a));
  EXPECT_EQ((Order{b, a}), order()) << "a minimised window is not raised by its activation";
}

TEST_F(DesktopZOrder, MinimisingKeepsTheActivationButDropsTheFocus) {
  make();
  HWND b = make();
  SetForegroundWindow(b);
  pump();
  ASSERT_EQ(b, GetFocus());
  ShowWindow(b, SW_MINIMIZE);
  EXPECT_EQ(b, GetForegroundWindow());
  EXPECT_EQ(nullptr, GetFocus());
}

// A disabled window cannot keep the focus, but the windows inside it keep
// theirs: Wine drops the focus only when it is on the window disabled.
TEST_F(DesktopZOrder, DisablingAWindowTakesTheFocusOnlyFromItself) {
  HWND main = make();
  HWND panel = make(WS_CHILD | WS_VISIBLE, main);
  HWND control = make(WS_CHILD | WS_VISIBLE, panel);
  SetForegroundWindow(main);
  pump();
  SetFocus(control);
  ASSERT_EQ(control, GetFocus());
  EnableWindow(panel, FALSE);
  EXPECT_EQ(control, GetFocus()) << "disabling the control's parent";
  EnableWindow(main, FALSE);
  EXPECT_EQ(control, GetFocus()) << "disabling the top-level window";
  EnableWindow(main, TRUE);
  EnableWindow(panel, TRUE);
  SetFocus(panel);
  ASSERT_EQ(panel, GetFocus());
  EnableWindow(panel, FALSE);
  EXPECT_EQ(nullptr, GetFocus()) << "disabling the window that has the focus";
}

TEST_F(DesktopZOrder, HidingTheActiveWindowActivatesTheNextOne) {
  HWND a = make(), b = make(), c = make();
  pump();
  ASSERT_EQ(c, GetForegroundWindow());
  ShowWindow(c, SW_HIDE);
  EXPECT_EQ(b, GetForegroundWindow());
  DestroyWindow(b);
  EXPECT_EQ(a, GetForegroundWindow());
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(nullptr, GetForegroundWindow()) << "nothing left to activate";
  EXPECT_EQ(nullptr, GetActiveWindow());
}

TEST_F(DesktopZOrder, ShowingWithoutActivationLeavesTheForegroundAlone) {
  clearForeground();
  ASSERT_EQ(nullptr, GetForegroundWindow());
  HWND a = make(WS_OVERLAPPEDWINDOW), b = make(WS_OVERLAPPEDWINDOW);
  ShowWindow(a, SW_SHOWNOACTIVATE);
  ShowWindow(b, SW_SHOWNA);
  pump();
  EXPECT_EQ(nullptr, GetForegroundWindow());
  EXPECT_TRUE(IsWindowVisible(a));
  ShowWindow(a, SW_SHOW);
  ShowWindow(a, SW_HIDE);
  ShowWindow(a, SW_SHOW);
  EXPECT_EQ(a, GetForegroundWindow()) << "SW_SHOW activates";
}

TEST_F(DesktopZOrder, ForegroundNeedsATopLevelWindow) {
  HWND a = make();
  HWND child = make(WS_CHILD | WS_VISIBLE, a);
  HWND hidden = make(WS_OVERLAPPEDWINDOW);
  SetForegroundWindow(a);
  EXPECT_FALSE(SetForegroundWindow(child));
  EXPECT_EQ(a, GetForegroundWindow());
  EXPECT_TRUE(SetForegroundWindow(hidden)) << "hidden windows may become the foreground";
  EXPECT_EQ(hidden, GetForegroundWindow());
}

TEST_F(DesktopZOrder, LastActivePopupIsTheOwnedWindowMostRecentlyActive) {
  HWND main = make();
  HWND popup = make(WS_POPUP | WS_CAPTION | WS_VISIBLE, main);
  HWND owned = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, main);
  HWND nested = make(WS_POPUP | WS_VISIBLE, popup);
  SetForegroundWindow(main);
  EXPECT_EQ(main, GetLastActivePopup(main));
  SetForegroundWindow(popup);
  EXPECT_EQ(popup, GetLastActivePopup(main));
  SetForegroundWindow(owned);
  EXPECT_EQ(owned, GetLastActivePopup(main));
  SetForegroundWindow(nested);
  EXPECT_EQ(nested, GetLastActivePopup(main)) << "the whole owner chain remembers it";
  EXPECT_EQ(nested, GetLastActivePopup(popup));
  EnableWindow(nested, FALSE);
  EXPECT_EQ(nested, GetLastActivePopup(main)) << "disabled popups still count";
  EnableWindow(nested, TRUE);
  SetForegroundWindow(popup);
  DestroyWindow(popup);
  EXPECT_FALSE(IsWindow(nested));
  EXPECT_EQ(main, GetLastActivePopup(main));
  EXPECT_EQ(main, GetForegroundWindow()) << "the owner of a destroyed popup takes over";
}

TEST_F(DesktopZOrder, RestoringFromMinimisedTakesTheFocus) {
  HWND a = make(), b = make();
  ShowWindow(b, SW_SHOWMINNOACTIVE);
  SetForegroundWindow(a);
  pump();
  ASSERT_EQ(a, GetForegroundWindow());
  ShowWindow(b, SW_SHOWNOACTIVATE);
  EXPECT_FALSE(IsIconic(b));
  EXPECT_EQ(b, GetForegroundWindow());
}

}  // namespace
