// Window classes, window creation and destruction, styles, rectangles and
// the relations between windows, checked through the Win32 API so that the
// same expectations hold for the simulated desktop and for Wine's.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "desktop_test_helpers.h"
#include "support/expect_messages.h"

namespace {

const char *const CLASS_NAME = "vornDesktopWindowsTest";

using vorntest::MessageLog;

MessageLog received;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY || message == WM_NCDESTROY || message == WM_CREATE ||
      message == WM_NCCREATE)
    received.record(window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

class DesktopWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    received.clear();
    classAtom = desktop_test::registerClass(CLASS_NAME, recordingProc);
    ASSERT_NE(0, classAtom);
  }

  void TearDown() override {
    desktop_test::destroyNewestFirst(made);
    UnregisterClassA(CLASS_NAME, GetModuleHandleA(NULL));
  }

  HWND make(DWORD style, int x, int y, int cx, int cy, HWND parent = NULL, DWORD exStyle = 0,
            const char *title = "vorn", const char *className = CLASS_NAME, LPVOID param = NULL) {
    HWND window = CreateWindowExA(exStyle, className, title, style, x, y, cx, cy, parent, NULL,
                                  GetModuleHandleA(NULL), param);
    EXPECT_NE(nullptr, window);
    made.push_back(window);
    return window;
  }

  static RECT windowRect(HWND window) { return desktop_test::windowRectOf(window); }

  static RECT clientRect(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    return r;
  }

  static std::string className(HWND window) {
    char buffer[64] = "";
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
  }

  ATOM classAtom = 0;
  std::vector<HWND> made;
};

using desktop_test::expectRect;

// ---- classes ------------------------------------------------------------------

TEST_F(DesktopWindows, ClassNamesAndRegisteredMessagesShareOneAtomTable) {
  EXPECT_EQ(classAtom, RegisterWindowMessageA(CLASS_NAME));
  EXPECT_EQ(classAtom, RegisterWindowMessageA("VORNDESKTOPWINDOWSTEST"));
  UINT message = RegisterWindowMessageA("vornDesktopTestMessage");
  EXPECT_GE(message, 0xC000u);
  EXPECT_LE(message, 0xFFFFu);
  EXPECT_EQ(message, RegisterWindowMessageA("VornDesktopTestMessage"));
  EXPECT_NE(message, RegisterWindowMessageA("vornDesktopTestMessage2"));
}

TEST_F(DesktopWindows, ClassRegistrationIsUniqueAndBlockedWhileWindowsExist) {
  EXPECT_EQ(0, desktop_test::registerClass("VORNDESKTOPWINDOWSTEST", recordingProc));
  HWND window = make(WS_POPUP, 0, 0, 10, 10);
  EXPECT_FALSE(UnregisterClassA(CLASS_NAME, GetModuleHandleA(NULL)));
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassA(CLASS_NAME, GetModuleHandleA(NULL)));
  EXPECT_EQ(nullptr,
            CreateWindowExA(0, CLASS_NAME, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL));
}

TEST_F(DesktopWindows, PredefinedClassesReportTheirCanonicalNames) {
  HWND parent = make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
  CLIENTCREATESTRUCT mdi = {NULL, 100};
  EXPECT_EQ("Button", className(make(WS_CHILD, 0, 0, 10, 10, parent, 0, "b", "BUTTON")));
  EXPECT_EQ("Static", className(make(WS_CHILD, 0, 0, 10, 10, parent, 0, "s", "static")));
  EXPECT_EQ("MDIClient", className(make(WS_CHILD, 0, 0, 10, 10, parent, 0, "", "MDICLIENT", &mdi)));
}

TEST_F(DesktopWindows, ClassNameAndTextAreCutToTheBuffer) {
  HWND window = make(WS_POPUP, 0, 0, 10, 10, NULL, 0, "vorn");
  char buffer[32];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(0, GetClassNameA(window, buffer, 0));
  EXPECT_EQ('x', buffer[0]);
  EXPECT_EQ(0, GetClassNameA(window, buffer, 1));
  EXPECT_STREQ("", buffer);
  EXPECT_EQ(4, GetClassNameA(window, buffer, 5));
  EXPECT_STREQ("vorn", buffer);
  EXPECT_EQ((int)strlen(CLASS_NAME), GetClassNameA(window, buffer, sizeof buffer));
  EXPECT_STREQ(CLASS_NAME, buffer);
  EXPECT_EQ(2, GetWindowTextA(window, buffer, 3));
  EXPECT_STREQ("vo", buffer);
  EXPECT_EQ(4, GetWindowTextA(window, buffer, sizeof buffer));
  EXPECT_STREQ("vorn", buffer);
}

// ---- creation and destruction ----------------------------------------------------

TEST_F(DesktopWindows, DestroyedWindowsAnswerNothing) {
  HWND window = make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(0, GetWindowLongA(window, GWL_STYLE));
  char buffer[8] = "zz";
  EXPECT_EQ(0, GetClassNameA(window, buffer, sizeof buffer));
  EXPECT_STREQ("zz", buffer);
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
}

TEST_F(DesktopWindows, DestructionTakesOwnedWindowsFirstThenDestroysParentsBeforeChildren) {
  HWND top = make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
  HWND child1 = make(WS_CHILD, 0, 0, 50, 50, top);
  HWND grandchild = make(WS_CHILD, 0, 0, 10, 10, child1);
  HWND child2 = make(WS_CHILD, 60, 0, 50, 50, top);
  HWND owned = make(WS_POPUP, 0, 0, 50, 50, top);
  received.clear();
  DestroyWindow(top);
  EXPECT_MESSAGES(received.all(), {{owned, WM_DESTROY, 0, 0, 0},
                                   {owned, WM_NCDESTROY, 0, 0, 0},
                                   {top, WM_DESTROY, 0, 0, 0},
                                   {child1, WM_DESTROY, 0, 0, 0},
                                   {grandchild, WM_DESTROY, 0, 0, 0},
                                   {child2, WM_DESTROY, 0, 0, 0},
                                   {grandchild, WM_NCDESTROY, 0, 0, 0},
                                   {child1, WM_NCDESTROY, 0, 0, 0},
                                   {child2, WM_NCDESTROY, 0, 0, 0},
                                   {top, WM_NCDESTROY, 0, 0, 0}});
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(DesktopWindows, StylesAreCompletedAtCreation) {
  HWND overlapped = make(WS_OVERLAPPED, 10, 10, 100, 100);
  EXPECT_EQ((LONG)(WS_CLIPSIBLINGS | WS_CAPTION), GetWindowLongA(overlapped, GWL_STYLE));
  EXPECT_EQ((LONG)WS_EX_WINDOWEDGE, GetWindowLongA(overlapped, GWL_EXSTYLE));
  HWND popup = make(WS_POPUP | WS_BORDER, 10, 10, 100, 100);
  EXPECT_EQ((LONG)(WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS), GetWindowLongA(popup, GWL_STYLE));
  EXPECT_EQ(0, GetWindowLongA(popup, GWL_EXSTYLE));
  HWND child = make(WS_CHILD, 0, 0, 10, 10, overlapped);
  EXPECT_EQ((LONG)WS_CHILD, GetWindowLongA(child, GWL_STYLE));
}

TEST_F(DesktopWindows, DefaultPositionsDependOnTheKindOfWindow) {
  expectRect(windowRect(make(WS_OVERLAPPED, CW_USEDEFAULT, 50, CW_USEDEFAULT, 50)), 0, 0, 768, 576);
  expectRect(windowRect(make(WS_POPUP | WS_CAPTION, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0)), 0, 0, 0,
             0);
  expectRect(windowRect(make(WS_POPUP, CW_USEDEFAULT, 7, CW_USEDEFAULT, 9)), 0, 0, 0, 0);
}

TEST_F(DesktopWindows, ClientAreasLeaveOutFramesAndCaptions) {
  HWND normal = make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);
  expectRect(windowRect(normal), 100, 100, 400, 300);
  expectRect(clientRect(normal), 0, 0, 292, 173);
  expectRect(clientRect(make(WS_POPUP | WS_BORDER, 10, 10, 100, 100)), 0, 0, 98, 98);
  expectRect(clientRect(make(WS_POPUP | WS_DLGFRAME, 10, 10, 100, 100)), 0, 0, 94, 94);
  expectRect(clientRect(make(WS_POPUP | WS_THICKFRAME, 10, 10, 100, 100)), 0, 0, 94, 94);
  expectRect(clientRect(make(WS_POPUP | WS_CAPTION, 10, 10, 100, 100, NULL, WS_EX_TOOLWINDOW)), 0,
             0, 94, 78);
  HWND child = make(WS_CHILD, 10, 20, 50, 40, normal);
  expectRect(windowRect(child), 114, 143, 164, 183);
  expectRect(clientRect(child), 0, 0, 50, 40);
}

// Client coordinates of one window to another's, or to the screen's.
TEST_F(DesktopWindows, PointsMapBetweenClientAreas) {
  HWND normal = make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);  // client at 104,123
  HWND child = make(WS_CHILD, 10, 20, 50, 40, normal);          // at 114,143
  POINT points[2] = {{0, 0}, {5, 7}};
  int shift = MapWindowPoints(normal, NULL, points, 2);
  EXPECT_EQ(104, points[0].x);
  EXPECT_EQ(123, points[0].y);
  EXPECT_EQ(109, points[1].x);
  EXPECT_EQ(130, points[1].y);
  EXPECT_EQ(104, (short)LOWORD(shift));
  EXPECT_EQ(123, (short)HIWORD(shift));
  POINT back = {114, 143};
  MapWindowPoints(NULL, child, &back, 1);
  EXPECT_EQ(0, back.x);
  EXPECT_EQ(0, back.y);
  POINT across = {0, 0};
  MapWindowPoints(child, normal, &across, 1);
  EXPECT_EQ(10, across.x);
  EXPECT_EQ(20, across.y);
}

TEST_F(DesktopWindows, MovingAParentMovesItsChildrenOnTheScreen) {
  HWND parent = make(WS_POPUP, 100, 100, 200, 200);
  HWND child = make(WS_CHILD, 10, 10, 20, 20, parent);
  ASSERT_TRUE(MoveWindow(parent, 300, 50, 200, 200, TRUE));
  expectRect(windowRect(child), 310, 60, 330, 80);
  RECT empty;
  SetRect(&empty, 5, 5, 5, 9);
  EXPECT_TRUE(IsRectEmpty(&empty));
  SetRect(&empty, 5, 5, 6, 6);
  EXPECT_FALSE(IsRectEmpty(&empty));
}

// ---- window longs -------------------------------------------------------------------

TEST_F(DesktopWindows, StyleWordsChangeAsWineAllows) {
  HWND window = make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
  LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style, SetWindowLongA(window, GWL_STYLE, style | WS_DISABLED | WS_VISIBLE));
  EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_TRUE(IsWindowVisible(window));
  SetWindowLongA(window, GWL_STYLE, style & ~WS_CLIPSIBLINGS);
  EXPECT_EQ(style, GetWindowLongA(window, GWL_STYLE)) << "top-level windows keep WS_CLIPSIBLINGS";
  SetWindowLongA(window, GWL_STYLE, style | WS_MINIMIZE);
  EXPECT_TRUE(IsIconic(window));
  SetWindowLongA(window, GWL_STYLE, style);
  EXPECT_TRUE(IsIconic(window)) << "WS_MINIMIZE cannot be taken back through the style word";
  LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  SetWindowLongA(window, GWL_EXSTYLE, exStyle | WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  EXPECT_EQ(exStyle | WS_EX_TOOLWINDOW, GetWindowLongA(window, GWL_EXSTYLE))
      << "WS_EX_TOPMOST changes only through SetWindowPos";
}

TEST_F(DesktopWindows, IdentifierAndUserDataAreKept) {
  HWND parent = make(WS_POPUP, 0, 0, 100, 100);
  HWND child =
      CreateWindowExA(0, CLASS_NAME, "", WS_CHILD, 0, 0, 5, 5, parent, (HMENU)77, NULL, NULL);
  made.push_back(child);
  EXPECT_EQ(77, GetWindowLongA(child, GWL_ID));
  EXPECT_EQ(0, SetWindowLongPtrA(child, GWLP_USERDATA, 1234));
  EXPECT_EQ(1234, GetWindowLongPtrA(child, GWLP_USERDATA));
}

// ---- relatives ----------------------------------------------------------------------

TEST_F(DesktopWindows, GetParentFollowsStyleAsWindowsDoes) {
  HWND main = make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
  HWND popup = make(WS_POPUP | WS_CAPTION, 0, 0, 50, 50, main);
  HWND ownedOverlapped = make(WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, main);
  HWND child = make(WS_CHILD, 0, 0, 50, 50, main);
  HWND popupOfChild = make(WS_POPUP, 0, 0, 50, 50, child);
  EXPECT_EQ(main, GetParent(popup));
  EXPECT_EQ(nullptr, GetParent(ownedOverlapped));
  EXPECT_EQ(main, GetParent(child));
  EXPECT_EQ(main, GetParent(popupOfChild)) << "a child given as parent makes its root the owner";
  EXPECT_EQ(nullptr, GetParent(main));
  EXPECT_EQ(main, GetWindow(ownedOverlapped, GW_OWNER));
  EXPECT_EQ(nullptr, GetWindow(child, GW_OWNER));
  SetWindowLongA(popup, GWL_STYLE, GetWindowLongA(popup, GWL_STYLE) & ~WS_POPUP);
  EXPECT_EQ(nullptr, GetParent(popup)) << "the current style word decides";
}

// WS_POPUP outweighs WS_CHILD: a window with both needs no parent, is a
// top-level window, and GetParent names its owner.
TEST_F(DesktopWindows, APopupWithTheChildBitIsATopLevelPopup) {
  HWND main = make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
  HWND alone = make(WS_POPUP | WS_CHILD, 0, 0, 50, 50);
  HWND owned = make(WS_POPUP | WS_CHILD, 0, 0, 50, 50, main);
  ASSERT_NE(nullptr, alone);
  EXPECT_NE(0, GetWindowLongA(alone, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(nullptr, GetParent(alone));
  EXPECT_EQ(main, GetParent(owned));
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(owned, GA_PARENT));
}

TEST_F(DesktopWindows, AncestorsClimbParentsThenOwners) {
  HWND main = make(WS_OVERLAPPEDWINDOW, 0, 0, 300, 200);
  HWND child = make(WS_CHILD, 0, 0, 50, 50, main);
  HWND grandchild = make(WS_CHILD, 0, 0, 5, 5, child);
  HWND popup = make(WS_POPUP, 0, 0, 50, 50, main);
  EXPECT_EQ(child, GetAncestor(grandchild, GA_PARENT));
  EXPECT_EQ(main, GetAncestor(grandchild, GA_ROOT));
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(main, GA_PARENT));
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(popup, GA_PARENT));
  EXPECT_EQ(popup, GetAncestor(popup, GA_ROOT));
  EXPECT_EQ(main, GetAncestor(popup, GA_ROOTOWNER));
}

TEST_F(DesktopWindows, ChildrenJoinTheBottomOfTheirSiblings) {
  HWND parent = make(WS_POPUP, 0, 0, 300, 200);
  HWND first = make(WS_CHILD, 0, 0, 50, 50, parent);
  HWND second = make(WS_CHILD, 0, 0, 50, 50, parent);
  EXPECT_EQ(first, GetWindow(parent, GW_CHILD));
  EXPECT_EQ(first, GetTopWindow(parent));
  EXPECT_EQ(second, GetWindow(first, GW_HWNDNEXT));
  EXPECT_EQ(first, GetWindow(second, GW_HWNDPREV));
  EXPECT_EQ(second, GetWindow(first, GW_HWNDLAST));
  EXPECT_EQ(first, GetWindow(second, GW_HWNDFIRST));
  EXPECT_EQ(nullptr, GetWindow(second, GW_HWNDNEXT));
  EXPECT_EQ(nullptr, GetWindow(first, GW_ENABLEDPOPUP)) << "Wine does not implement it";
}

TEST_F(DesktopWindows, FindWindowLooksAtTopLevelWindowsOnly) {
  HWND hidden = make(WS_POPUP, 0, 0, 10, 10, NULL, 0, "vorn hidden finder");
  HWND child = make(WS_CHILD, 0, 0, 5, 5, hidden, 0, "vorn child finder");
  EXPECT_EQ(hidden, FindWindowA(CLASS_NAME, "vorn hidden finder"));
  EXPECT_EQ(hidden, FindWindowA(NULL, "VORN HIDDEN FINDER"));
  EXPECT_EQ(nullptr, FindWindowA(NULL, "vorn child finder"));
  EXPECT_EQ(nullptr, FindWindowA("vornNoSuchClass", NULL));
  EXPECT_EQ(hidden, FindWindowA(CLASS_NAME, NULL));
  EXPECT_NE(nullptr, child);
}

TEST_F(DesktopWindows, WindowFromPointFindsTheDeepestVisibleEnabledChild) {
  HWND top = make(WS_POPUP | WS_VISIBLE, 600, 400, 300, 300);
  HWND child = make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
  make(WS_CHILD, 100, 10, 50, 50, top);
  make(WS_CHILD | WS_VISIBLE | WS_DISABLED, 200, 10, 50, 50, top);
  EXPECT_EQ(child, WindowFromPoint({615, 415}));
  EXPECT_EQ(top, WindowFromPoint({705, 415})) << "hidden child";
  EXPECT_EQ(top, WindowFromPoint({805, 415})) << "disabled child";
  EXPECT_EQ(top, WindowFromPoint({650, 650}));
  DWORD process = 0;
  EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(top, &process));
  EXPECT_EQ(GetCurrentProcessId(), process);
}

}  // namespace
