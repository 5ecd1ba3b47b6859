// The exact calls the window operations make, read from winsim's records:
// the flags and insert-after windows of the z-order moves, and each key
// stroke of the shell's shortcuts. Host only: Windows keeps no record of
// the calls a program made, and the messages they cause do not show every
// parameter.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "config/image_layout.h"
#include "support/caller_trace.h"
#include "support/expect_messages.h"
#include "unit/desktop_fixture.h"
#include "windows/actions.h"
#include "windows/activation.h"
#include "windows/navigation.h"
#include "windows/system_commands.h"
#include "winsim/control.h"

namespace {

using vorntest::DesktopFixture;
using vorntest::MdiFrame;
using vorntest::MSG_LPARAM;
using vorntest::MSG_WPARAM;
using vorntest::RecordedMessage;
using vorntest::rectAt;

const unsigned BOTH_PARAMETERS = MSG_WPARAM | MSG_LPARAM;

// Only the z-order changes; the window is neither moved, sized nor
// activated, and a window of another thread is not waited for.
const UINT ZORDER_ONLY = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;

class WindowCallsTest : public DesktopFixture {
 protected:
  // The one SetWindowPos call recorded since the last clear is
  // (window, insertAfter, 0, 0, 0, 0, ZORDER_ONLY).
  static void expectZOrderMove(HWND window, HWND insertAfter, CALLER_PARAMETERS) {
    TRACE_CALLER();
    ASSERT_EQ(1, winsimWindowPosRecordCount());
    const WinsimWindowPosRecord *move = winsimWindowPosRecord(0);
    EXPECT_EQ(window, move->window);
    EXPECT_EQ(insertAfter, move->insertAfter);
    EXPECT_EQ(0, move->x);
    EXPECT_EQ(0, move->y);
    EXPECT_EQ(0, move->cx);
    EXPECT_EQ(0, move->cy);
    EXPECT_EQ(ZORDER_ONLY, move->flags);
  }

  // The messages posted since the last clear, as a recording.
  static std::vector<RecordedMessage> postedMessages() {
    std::vector<RecordedMessage> posted;
    for (int i = 0; i < winsimMessageRecordCount(); ++i) {
      const WinsimMessageRecord *r = winsimMessageRecord(i);
      if (r->kind == WINSIM_POSTED) {
        posted.push_back({r->window, r->message, r->wParam, r->lParam, r->threadId, {0, 0}});
      }
    }
    return posted;
  }
};

TEST_F(WindowCallsTest, RaiseAndLowerMoveOnlyTheZOrder) {
  HWND a = createTopLevel(rectAt(100, 100, 300, 200));
  HWND b = createTopLevel(rectAt(150, 150, 300, 200));
  stackFromTop({a, b});
  winsimClearRecords();
  EXPECT_EQ(1, raiseWithoutActivating(b));
  expectZOrderMove(b, HWND_TOP);
  winsimClearRecords();
  EXPECT_EQ(1, lowerWindow(b));
  expectZOrderMove(b, HWND_BOTTOM);
}

// A topmost window goes just below the lowest eligible topmost window:
// the nearest eligible window above the highest eligible normal one.
TEST_F(WindowCallsTest, TopmostWindowIsInsertedAfterTheLowestEligibleTopmostWindow) {
  HWND high = createTopmost(rectAt(100, 100, 200, 150));
  HWND low = createTopmost(rectAt(150, 150, 200, 150));
  HWND tool = createTopmost(rectAt(200, 200, 200, 150), WS_EX_TOOLWINDOW);
  HWND normal = createTopLevel(rectAt(250, 250, 200, 150));
  stackFromTop({high, low, tool, normal});
  winsimClearRecords();
  EXPECT_EQ(1, lowerWindow(high));
  expectZOrderMove(high, low);
}

// System commands and the MDI activation are posted with exactly their
// command and nothing else: lParam 0.
TEST_F(WindowCallsTest, CommandsArePostedWithTheirParametersOnly) {
  HWND a = createTopLevel(rectAt(100, 100, 300, 200));
  HWND b = createTopLevel(rectAt(150, 150, 300, 200));
  HWND zoomed = createTopLevel(rectAt(200, 200, 300, 200), TOP_LEVEL_STYLE | WS_MAXIMIZE);
  HWND iconic = createTopLevel(rectAt(250, 250, 300, 200));
  ShowWindow(iconic, SW_SHOWMINNOACTIVE);
  MdiFrame mdi = createMdiFrame(rectAt(50, 50, 500, 400));
  HWND document = createMdiChild(mdi.client, rectAt(0, 0, 200, 150));
  ASSERT_TRUE(IsZoomed(zoomed) && IsIconic(iconic));
  winsimClearRecords();
  minimizeIfAllowed(a);
  toggleMaximize(b);
  toggleMaximize(zoomed);
  activateTopLevel(iconic, GW_HWNDNEXT, POLICY_RESTORE);
  activateWindow(document, 1);
  EXPECT_MESSAGES(postedMessages(),
                  {{a, WM_SYSCOMMAND, BOTH_PARAMETERS, SC_MINIMIZE, 0},
                   {b, WM_SYSCOMMAND, BOTH_PARAMETERS, SC_MAXIMIZE, 0},
                   {zoomed, WM_SYSCOMMAND, BOTH_PARAMETERS, SC_RESTORE, 0},
                   {iconic, WM_SYSCOMMAND, BOTH_PARAMETERS, SC_RESTORE, 0},
                   {mdi.client, WM_MDIACTIVATE, BOTH_PARAMETERS, (WPARAM)document, 0}});
}

// "Close", "Minimize" and "ToggleTopmost" act on the outermost parent of
// the window they are given (a control's dialog, an owned popup's owner),
// post exactly their command or move only the topmost band, and swallow
// the click.
TEST_F(WindowCallsTest, CloseMinimizeAndToggleTopmostActOnTheOutermostParentOnly) {
  HWND main = createTopLevel(rectAt(100, 100, 300, 200));
  HWND control = createChild(main, rectAt(10, 10, 50, 20));
  HWND popup = createPopup(main, rectAt(150, 150, 100, 80));
  HWND onTop = createTopmost(rectAt(200, 200, 200, 150));
  winsimClearRecords();
  EXPECT_EQ(1, runNamedAction("Close", control, POLICY_NONE, 0));
  EXPECT_EQ(1, runNamedAction("Minimize", popup, POLICY_NONE, 0));
  EXPECT_MESSAGES(postedMessages(), {{main, WM_SYSCOMMAND, BOTH_PARAMETERS, SC_CLOSE, 0},
                                     {main, WM_SYSCOMMAND, BOTH_PARAMETERS, SC_MINIMIZE, 0}});
  EXPECT_EQ(0, winsimWindowPosRecordCount()) << "nothing lowered or activated";
  EXPECT_EQ(0, winsimForegroundRecordCount());
  winsimClearRecords();
  EXPECT_EQ(1, runNamedAction("ToggleTopmost", control, POLICY_NONE, 0));
  expectZOrderMove(main, HWND_TOPMOST);
  winsimClearRecords();
  EXPECT_EQ(1, runNamedAction("ToggleTopmost", onTop, POLICY_NONE, 0));
  expectZOrderMove(onTop, HWND_NOTOPMOST);
  EXPECT_EQ(0, winsimForegroundRecordCount());
}

// The strokes of one action, as "5B 44 44^ 5B^" (^: a release), from
// winsim's key record; each stroke has scan code 0 and no extra
// information, and all of them came in the one SendInput call made since
// the records were cleared, so that no other input can come between them.
std::string strokesOfOneBatch() {
  std::string trace;
  for (int i = 0; i < winsimKeyRecordCount(); ++i) {
    const WinsimKeyRecord *stroke = winsimKeyRecord(i);
    char text[8];
    snprintf(text, sizeof text, "%s%02X%s", i ? " " : "", stroke->virtualKey,
             stroke->flags == KEYEVENTF_KEYUP ? "^"
             : stroke->flags                  ? "?"
                                              : "");
    trace += text;
    EXPECT_EQ(1, stroke->batch) << "stroke " << i << " not in the first SendInput call";
    EXPECT_EQ(0, stroke->scanCode) << "stroke " << i;
    EXPECT_EQ(0u, stroke->extraInfo) << "stroke " << i;
  }
  return trace;
}

struct ChordCase {
  const char *action;
  std::vector<BYTE> held;  // pressed by the user before the click
  const char *strokes;
};

// Held modifiers are released first and pressed again last, each group
// with a stroke of the unassigned key E8 beside it, so that the releases
// and the user's own later releases open neither a menu bar nor Start; a
// held key that is no modifier is left alone. (Under Wine on Xvfb a Ctrl
// pressed with keybd_event reaches the focus window but never shows in
// GetAsyncKeyState, so there the held case cannot be set up.)
TEST_F(WindowCallsTest, ShortcutsAreOneBatchClearOfTheModifiersTheUserHolds) {
  const ChordCase cases[] = {
      {"MinimizeAll", {}, "5B 4D 4D^ 5B^"},
      {"RestoreMinimizeAll", {}, "5B 10 4D 4D^ 10^ 5B^"},
      {"ShowDesktop", {}, "5B 44 44^ 5B^"},
      {"ShowDesktop", {VK_LCONTROL}, "E8 E8^ A2^ 5B 44 44^ 5B^ A2 E8 E8^"},
      {"MinimizeAll", {VK_LMENU, VK_RSHIFT}, "E8 E8^ A1^ A4^ 5B 4D 4D^ 5B^ A1 A4 E8 E8^"},
      {"RestoreMinimizeAll", {VK_LWIN}, "E8 E8^ 5B^ 5B 10 4D 4D^ 10^ 5B^ 5B E8 E8^"},
      {"ShowDesktop",
       {VK_RWIN, VK_RMENU, VK_RCONTROL, VK_LSHIFT},
       "E8 E8^ A0^ A3^ A5^ 5C^ 5B 44 44^ 5B^ A0 A3 A5 5C E8 E8^"},
      {"ShowDesktop", {'A'}, "5B 44 44^ 5B^"},
  };
  for (const ChordCase &c : cases) {
    std::string row = std::string(c.action) + " holding " + std::to_string(c.held.size());
    for (BYTE key : c.held) keybd_event(key, 0, 0, 0);
    winsimClearRecords();
    HWND nobody = NULL;
    EXPECT_EQ(1, runNamedAction(c.action, nobody, POLICY_NONE, 0)) << row;
    EXPECT_EQ(c.strokes, strokesOfOneBatch()) << row;
    for (BYTE key : c.held) {
      EXPECT_NE(0, GetAsyncKeyState(key) & 0x8000) << row << ": key " << (int)key << " let go";
      keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
    for (int key : {VK_LWIN, VK_SHIFT, (int)'M', (int)'D'}) {
      EXPECT_EQ(0, GetAsyncKeyState(key) & 0x8000) << row << ": key " << key << " left down";
    }
  }
}

}  // namespace
