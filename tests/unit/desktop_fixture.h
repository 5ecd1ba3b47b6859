// Test support for everything that works on live windows: a GoogleTest
// fixture that builds small desktops (top-level, popup, owned, tool,
// topmost, child and MDI windows with given styles and rectangles), records
// the messages they receive, pumps messages until a condition holds, and
// destroys every window it made at teardown.
//
// Written against the Win32 API only, so that the same tests run on the
// host against winsim and as Windows programs under Wine. All windows
// belong to the test's thread: z-order and activation changes made by the
// test apply at once, posted commands when messages are pumped.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/message_sequence.h"
#include "support/win32_desktop.h"
#include "unit/desktop_test_helpers.h"
#include "windows/last_activated_window.h"

namespace vorntest {

// The two windows of an MDI frame: the frame and its MDI client window,
// which is the parent of the document windows.
struct MdiFrame {
  HWND frame;
  HWND client;
};

class DesktopFixture : public ::testing::Test {
 protected:
  static constexpr const char *WINDOW_CLASS = "vornTestWindow";
  static constexpr const char *FRAME_CLASS = "vornTestFrame";
  static constexpr const char *MDI_CHILD_CLASS = "vornTestMdiChild";
  static constexpr DWORD TOP_LEVEL_STYLE = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  static constexpr DWORD POPUP_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  static constexpr DWORD CHILD_STYLE = WS_CHILD | WS_VISIBLE;
  static constexpr DWORD MDI_CHILD_STYLE = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  // Posted to the fixture's message window to learn that every message
  // posted before it to this thread has been handled.
  static constexpr UINT FLUSH_MESSAGE = WM_APP + 0x3F1;
  static constexpr DWORD DEFAULT_TIMEOUT_MS = 3000;

  void SetUp() override {
    current() = this;
    savedLastActivated = lastActivatedWindow;
    lastActivatedWindow = NULL;
    registerClass(WINDOW_CLASS, recordingWindowProc);
    registerClass(FRAME_CLASS, frameWindowProc);
    registerClass(MDI_CHILD_CLASS, mdiChildWindowProc);
    flushWindow = CreateWindowExA(0, WINDOW_CLASS, "flush", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                  instance(), NULL);
    ASSERT_NE(nullptr, flushWindow);
  }

  void TearDown() override {
    desktop_test::destroyNewestFirst(created);
    DestroyWindow(flushWindow);
    pumpPending();
    created.clear();
    frameClients.clear();
    UnregisterClassA(MDI_CHILD_CLASS, instance());
    UnregisterClassA(FRAME_CLASS, instance());
    UnregisterClassA(WINDOW_CLASS, instance());
    lastActivatedWindow = savedLastActivated;
    current() = nullptr;
  }

  // ---- making windows ---------------------------------------------------
  // Every window is made without WS_VISIBLE and then shown with the style's
  // visibility, without activation: creating a desktop leaves the
  // foreground and the activation where they were.

  HWND createWindow(DWORD exStyle, DWORD style, RECT rect, HWND parent,
                    const char *className = WINDOW_CLASS, LPVOID param = NULL) {
    HWND window = CreateWindowExA(exStyle, className, "vorn test", style & ~WS_VISIBLE, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  NULL, instance(), param);
    EXPECT_NE(nullptr, window) << "CreateWindowExA failed for class " << className;
    if (window == NULL) return NULL;
    created.push_back(window);
    if (style & WS_VISIBLE) ShowWindow(window, SW_SHOWNA);
    return window;
  }

  HWND createTopLevel(RECT rect, DWORD style = TOP_LEVEL_STYLE, DWORD exStyle = 0) {
    return createWindow(exStyle, style, rect, NULL);
  }

  // A popup window (WS_POPUP); `owner` may be none.
  HWND createPopup(HWND owner, RECT rect, DWORD style = POPUP_STYLE, DWORD exStyle = 0) {
    return createWindow(exStyle, style | WS_POPUP, rect, owner);
  }

  // An overlapped window with an owner: GetParent does not report owners of
  // windows that are not popups.
  HWND createOwned(HWND owner, RECT rect, DWORD style = TOP_LEVEL_STYLE, DWORD exStyle = 0) {
    return createWindow(exStyle, style, rect, owner);
  }

  HWND createToolWindow(RECT rect, DWORD extraExStyle = 0, DWORD style = TOP_LEVEL_STYLE) {
    return createWindow(WS_EX_TOOLWINDOW | extraExStyle, style, rect, NULL);
  }

  HWND createTopmost(RECT rect, DWORD extraExStyle = 0, DWORD style = TOP_LEVEL_STYLE) {
    return createWindow(WS_EX_TOPMOST | extraExStyle, style, rect, NULL);
  }

  // `rect` is in the parent's client coordinates.
  HWND createChild(HWND parent, RECT rect, DWORD style = CHILD_STYLE, DWORD exStyle = 0) {
    return createWindow(exStyle, style | WS_CHILD, rect, parent);
  }

  MdiFrame createMdiFrame(RECT rect, DWORD style = TOP_LEVEL_STYLE) {
    MdiFrame mdi = {NULL, NULL};
    mdi.frame = createWindow(0, style, rect, NULL, FRAME_CLASS);
    if (mdi.frame == NULL) return mdi;
    CLIENTCREATESTRUCT clientCreate = {NULL, 0xFF00};
    RECT clientRect = {0, 0, 0, 0};
    GetClientRect(mdi.frame, &clientRect);
    mdi.client = createWindow(0, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, clientRect, mdi.frame,
                              "MDICLIENT", &clientCreate);
    frameClients[mdi.frame] = mdi.client;
    return mdi;
  }

  // An MDI document window; `rect` is in the client window's coordinates.
  // The new child becomes the active one of its frame.
  HWND createMdiChild(HWND client, RECT rect, DWORD style = MDI_CHILD_STYLE) {
    HWND child = CreateWindowExA(WS_EX_MDICHILD, MDI_CHILD_CLASS, "vorn document", style, rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, client,
                                 NULL, instance(), NULL);
    EXPECT_NE(nullptr, child) << "MDI child creation failed";
    if (child != NULL) created.push_back(child);
    return child;
  }

  HWND activeMdiChild(HWND client) { return (HWND)SendMessageA(client, WM_MDIGETACTIVE, 0, 0); }

  // ---- z-order ------------------------------------------------------------

  // Puts the windows, siblings all, at the top of their z-order band in the
  // order given, the first highest. Topmost windows stay above the others.
  void stackFromTop(const std::vector<HWND> &windows) {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
      SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }

  // The given windows in their current z-order, highest first. Windows not
  // given (other programs', hidden helpers) are left out.
  static std::vector<HWND> zOrderOf(const std::vector<HWND> &windows) {
    std::vector<HWND> order;
    if (windows.empty()) return order;
    for (HWND w = GetWindow(windows.front(), GW_HWNDFIRST); w != NULL;
         w = GetWindow(w, GW_HWNDNEXT)) {
      for (HWND wanted : windows) {
        if (w == wanted) order.push_back(w);
      }
    }
    return order;
  }

  // 1 when no visible sibling lies above `window`.
  static bool isHighestVisible(HWND window) {
    for (HWND w = GetWindow(window, GW_HWNDPREV); w != NULL; w = GetWindow(w, GW_HWNDPREV)) {
      if (IsWindowVisible(w)) return false;
    }
    return true;
  }

  // 1 when no visible sibling lies below `window`.
  static bool isLowestVisible(HWND window) {
    for (HWND w = GetWindow(window, GW_HWNDNEXT); w != NULL; w = GetWindow(w, GW_HWNDNEXT)) {
      if (IsWindowVisible(w)) return false;
    }
    return true;
  }

  // Makes `window` the foreground window with the keyboard focus. This
  // raises it too: stack the desktop after choosing its foreground window.
  bool makeForeground(HWND window) {
    SetForegroundWindow(window);
    SetFocus(window);
    return pumpUntil([&] { return GetForegroundWindow() == window; });
  }

  // Leaves the desktop without a foreground window: a window that is
  // activated and destroyed while no other window can take over. Call it
  // before making the desktop.
  bool clearForeground() {
    HWND temporary = CreateWindowExA(0, WINDOW_CLASS, "temporary", TOP_LEVEL_STYLE, 0, 0, 100, 100,
                                     NULL, NULL, instance(), NULL);
    SetForegroundWindow(temporary);
    DestroyWindow(temporary);
    pumpPending();
    return GetForegroundWindow() == NULL;
  }

  // ---- messages -----------------------------------------------------------

  void pumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  // Pumps messages until `condition` holds or `timeoutMs` has passed;
  // returns whether it held.
  bool pumpUntil(const std::function<bool()> &condition, DWORD timeoutMs = DEFAULT_TIMEOUT_MS) {
    const DWORD pollMs = 5;
    DWORD start = GetTickCount();
    for (DWORD polls = 0; polls <= timeoutMs / pollMs; ++polls) {
      pumpPending();
      if (condition()) return true;
      if (GetTickCount() - start >= timeoutMs) break;
      Sleep(pollMs);
    }
    pumpPending();
    return condition();
  }

  // Handles every message posted to this thread so far: posted messages
  // are handled in order, so once a message posted now has arrived, all
  // commands posted before it have been carried out.
  bool flushPostedMessages() {
    int target = ++flushesPosted;
    PostMessageA(flushWindow, FLUSH_MESSAGE, (WPARAM)target, 0);
    return pumpUntil([&] { return flushesSeen >= target; });
  }

  std::vector<RecordedMessage> messagesTo(HWND window, UINT message) const {
    return messageLog.to(window, message);
  }

  int countSystemCommands(HWND window, WPARAM command) const {
    int count = 0;
    for (const RecordedMessage &logged : messagesTo(window, WM_SYSCOMMAND)) {
      if ((logged.wParam & 0xFFF0) == command) ++count;
    }
    return count;
  }

  // The key messages every fixture window received, in order, as text such
  // as "down 5B, down 4D, up 4D, up 5B".
  std::string keyMessageTrace() const {
    std::string trace;
    for (const RecordedMessage &logged : messageLog) {
      const char *kind = NULL;
      if (logged.message == WM_KEYDOWN || logged.message == WM_SYSKEYDOWN) kind = "down ";
      if (logged.message == WM_KEYUP || logged.message == WM_SYSKEYUP) kind = "up ";
      if (kind == NULL) continue;
      if (!trace.empty()) trace += ", ";
      trace += kind + hexByte((unsigned)logged.wParam);
    }
    return trace;
  }

  void clearMessageLog() { messageLog.clear(); }

  // What the fixture's windows received of the messages actions cause
  // (system commands, activation, keys).
  MessageLog messageLog;

  static HINSTANCE instance() { return GetModuleHandleA(NULL); }

  static void registerClass(const char *name, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance();
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
  }

 private:
  static DesktopFixture *&current() {
    static DesktopFixture *fixture = nullptr;
    return fixture;
  }

  static std::string hexByte(unsigned value) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string(1, digits[(value >> 4) & 0xF]) + digits[value & 0xF];
  }

  static bool isLoggedMessage(UINT message) {
    switch (message) {
      case WM_SYSCOMMAND:
      case WM_CHILDACTIVATE:
      case WM_MDIACTIVATE:
      case WM_ACTIVATE:
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
        return true;
      default:
        return false;
    }
  }

  static void record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DesktopFixture *fixture = current();
    if (fixture == nullptr) return;
    if (message == FLUSH_MESSAGE && window == fixture->flushWindow) {
      fixture->flushesSeen = (int)wParam;
      return;
    }
    if (isLoggedMessage(message)) fixture->messageLog.record(window, message, wParam, lParam);
  }

  static LRESULT CALLBACK recordingWindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    record(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  static LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    record(window, message, wParam, lParam);
    HWND client = NULL;
    DesktopFixture *fixture = current();
    if (fixture != nullptr) {
      auto found = fixture->frameClients.find(window);
      if (found != fixture->frameClients.end()) client = found->second;
    }
    return DefFrameProcA(window, client, message, wParam, lParam);
  }

  static LRESULT CALLBACK mdiChildWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    record(window, message, wParam, lParam);
    return DefMDIChildProcA(window, message, wParam, lParam);
  }

  HWND flushWindow = NULL;
  int flushesPosted = 0;
  int flushesSeen = 0;
  HWND savedLastActivated = NULL;
  std::vector<HWND> created;
  std::map<HWND, HWND> frameClients;
};

}  // namespace vorntest
