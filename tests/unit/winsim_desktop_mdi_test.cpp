// MDI on the desktop: document windows created in an MDI client window,
// their activation through WM_MDIACTIVATE and WM_CHILDACTIVATE, and the
// system commands that minimise, maximise and restore them.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "desktop_test_helpers.h"

namespace {

const char *const FRAME_CLASS = "vornDesktopMdiFrame";
const char *const CHILD_CLASS = "vornDesktopMdiChild";
const UINT FIRST_CHILD_ID = 100;

struct Activation {
  HWND window;
  WPARAM deactivated;
  LPARAM activated;
};

std::vector<Activation> activations;
HWND theClient;

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefFrameProcA(window, theClient, message, wParam, lParam);
}

LRESULT CALLBACK childProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MDIACTIVATE) activations.push_back({window, wParam, lParam});
  return DefMDIChildProcA(window, message, wParam, lParam);
}

class DesktopMdi : public ::testing::Test {
 protected:
  void SetUp() override {
    registerClass(FRAME_CLASS, frameProc);
    registerClass(CHILD_CLASS, childProc);
    theClient = NULL;
    frame = CreateWindowExA(0, FRAME_CLASS, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600,
                            500, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, frame);
    CLIENTCREATESTRUCT create = {NULL, FIRST_CHILD_ID};
    theClient = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                500, 400, frame, NULL, GetModuleHandleA(NULL), &create);
    ASSERT_NE(nullptr, theClient);
    SetForegroundWindow(frame);
    pump();
    for (int i = 0; i < 3; ++i) children.push_back(makeChild(10 * i, 10 * i));
    pump();
    activations.clear();
  }

  void TearDown() override {
    DestroyWindow(frame);
    pump();
    UnregisterClassA(CHILD_CLASS, GetModuleHandleA(NULL));
    UnregisterClassA(FRAME_CLASS, GetModuleHandleA(NULL));
  }

  static void registerClass(const char *name, WNDPROC proc) {
    ASSERT_NE(0, desktop_test::registerClass(name, proc));
  }

  HWND makeChild(int x, int y, DWORD style = WS_VISIBLE) {
    HWND child = CreateWindowExA(WS_EX_MDICHILD, CHILD_CLASS, "doc", style, x, y, 200, 150,
                                 theClient, NULL, GetModuleHandleA(NULL), NULL);
    EXPECT_NE(nullptr, child);
    return child;
  }

  static void pump() { desktop_test::pumpThreadMessages(); }

  static HWND active(BOOL *maximized = nullptr) {
    return (HWND)SendMessageA(theClient, WM_MDIGETACTIVE, 0, (LPARAM)maximized);
  }

  static std::vector<HWND> order() {
    std::vector<HWND> result;
    for (HWND w = GetWindow(theClient, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
      result.push_back(w);
    return result;
  }

  static RECT windowRect(HWND window) { return desktop_test::windowRectOf(window); }

  HWND frame = NULL;
  std::vector<HWND> children;
};

using Order = std::vector<HWND>;

using desktop_test::expectRect;

TEST_F(DesktopMdi, NewDocumentWindowsAreCompletedAndActivated) {
  HWND c0 = children[0], c1 = children[1], c2 = children[2];
  EXPECT_EQ((LONG)(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW),
            GetWindowLongA(c0, GWL_STYLE));
  EXPECT_EQ((LONG)(WS_EX_MDICHILD | WS_EX_WINDOWEDGE), GetWindowLongA(c0, GWL_EXSTYLE));
  EXPECT_EQ((LONG)FIRST_CHILD_ID, GetWindowLongA(c0, GWL_ID));
  EXPECT_EQ((LONG)FIRST_CHILD_ID + 2, GetWindowLongA(c2, GWL_ID));
  EXPECT_EQ(theClient, GetParent(c0));
  expectRect(windowRect(c0), 54, 73, 254, 223);
  EXPECT_EQ(c2, active());
  EXPECT_EQ((Order{c2, c1, c0}), order());
  EXPECT_EQ(c2, GetFocus());
  EXPECT_EQ(frame, GetForegroundWindow());
  HWND hidden = makeChild(0, 0, 0);
  EXPECT_TRUE(IsWindowVisible(hidden)) << "document windows are always shown";
  EXPECT_EQ(hidden, active());
}

TEST_F(DesktopMdi, PostedMdiActivateRaisesAndActivatesWhenRetrieved) {
  HWND c0 = children[0], c1 = children[1], c2 = children[2];
  PostMessageA(theClient, WM_MDIACTIVATE, (WPARAM)c0, 0);
  EXPECT_EQ(c2, active());
  pump();
  EXPECT_EQ(c0, active());
  EXPECT_EQ((Order{c0, c2, c1}), order());
  EXPECT_EQ(c0, GetFocus());
  ASSERT_EQ(2u, activations.size());
  EXPECT_EQ(c2, activations[0].window);
  EXPECT_EQ(c0, activations[1].window);
  for (const Activation &a : activations) {
    EXPECT_EQ((WPARAM)c2, a.deactivated);
    EXPECT_EQ((LPARAM)c0, a.activated);
  }
}

TEST_F(DesktopMdi, ChildActivateMakesTheChildActiveAndHighest) {
  HWND c0 = children[0], c1 = children[1], c2 = children[2];
  SendMessageA(c1, WM_CHILDACTIVATE, 0, 0);
  EXPECT_EQ(c1, active());
  EXPECT_EQ((Order{c1, c2, c0}), order());
  SetWindowPos(c0, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  EXPECT_EQ((Order{c0, c1, c2}), order());
  EXPECT_EQ(c1, active()) << "raising without activation leaves the active child";
}

TEST_F(DesktopMdi, MinimisingTheActiveChildActivatesTheNextOne) {
  HWND c0 = children[0], c1 = children[1], c2 = children[2];
  SendMessageA(c2, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(c2));
  EXPECT_EQ(c1, active());
  expectRect(windowRect(c2), 54, 449, 214, 473);
  SendMessageA(c1, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(c0, active()) << "minimised children are stepped over";
  expectRect(windowRect(c1), 214, 449, 374, 473);
  EXPECT_EQ((Order{c0, c1, c2}), order());
  PostMessageA(theClient, WM_MDIACTIVATE, (WPARAM)c2, 0);
  pump();
  EXPECT_EQ(c2, active());
  EXPECT_TRUE(IsIconic(c2));
  EXPECT_EQ(theClient, GetFocus()) << "a minimised active child leaves the focus to the client";
  SendMessageA(c2, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(c2));
  expectRect(windowRect(c2), 74, 93, 274, 243);
  EXPECT_EQ(c2, GetFocus());
}

TEST_F(DesktopMdi, MaximisedChildrenFillTheClientWithTheirFrameOutside) {
  HWND c2 = children[2];
  SendMessageA(c2, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  BOOL maximized = FALSE;
  EXPECT_EQ(c2, active(&maximized));
  EXPECT_TRUE(maximized);
  expectRect(windowRect(c2), 50, 50, 558, 477);
  SendMessageA(c2, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(c2, active(&maximized));
  EXPECT_FALSE(maximized);
}

TEST_F(DesktopMdi, DestroyingTheActiveChildLeavesItReportedAsActive) {
  HWND c2 = children[2];
  DestroyWindow(c2);
  EXPECT_FALSE(IsWindow(c2));
  EXPECT_EQ(c2, active()) << "Wine's MDI client keeps the stale handle";
}

}  // namespace
