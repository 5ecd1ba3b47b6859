// vorncheck.exe, as shipped, pointed at the windows of another program
// (this one): the caption and client area of a window in front and of one
// behind it, a child control, a maximised window, the shell's classes with
// the sample configuration, a window whose thread does not answer, and the
// pointer read after the count-down.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "configuration_files.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "program_run.h"
#include "scenario.h"
#include "support/point_reports.h"
#include "support/win32_files.h"
#include "support/window_points.h"
#include "test_windows.h"
#include "window_class.h"
#include "window_state.h"

namespace e2e {
namespace {

using vorntest::handleText;
using vorntest::POINT_CONFIGURATION;
using vorntest::SAMPLE_DESKTOP_PRESS;
using vorntest::SAMPLE_DESKTOP_RELEASE;
using vorntest::says;

const DWORD VORNCHECK_TIMEOUT_MS = 20000;

class VorncheckPoint : public Scenario {
 protected:
  void TearDown() override {
    removeFile(configurationPath());
    Scenario::TearDown();
  }

  std::string configurationPath() const { return stageDirectory + "\\vorncheck-point.ini"; }

  ::testing::AssertionResult configure(const std::string &text) {
    if (writeFileBytes(configurationPath(), text)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "could not write " << configurationPath();
  }

  ProgramRun vorncheck(const std::string &arguments) {
    ProgramRun run = runProgram(stageDirectory, "vorncheck.exe", arguments + " vorncheck-point.ini",
                                VORNCHECK_TIMEOUT_MS);
    EXPECT_TRUE(run.ended) << "vorncheck " << arguments << " did not end";
    EXPECT_EQ(0u, run.exitCode) << run.output << run.errors;
    return run;
  }

  ProgramRun vorncheckAt(POINT point) {
    return vorncheck("--at " + std::to_string(point.x) + " " + std::to_string(point.y));
  }

  // vorncheck --at a visible point of `window` with the area `hitTest`.
  std::string reportAt(HWND window, LRESULT hitTest) {
    POINT point = {0, 0};
    EXPECT_TRUE(vorntest::findVisiblePoint(window, hitTest, &point)) << desktop();
    return vorncheckAt(point).output;
  }

  // A child control of a window of this program: a real button.
  HWND addButton(HWND parent) {
    HWND button = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE, 20, 20, 100, 30, parent,
                                  NULL, GetModuleHandleA(NULL), NULL);
    EXPECT_NE(nullptr, button);
    return button;
  }
};

TEST_F(VorncheckPoint, TellsTheWindowsOfAnotherProgramAndWhatAClickDoes) {
  ASSERT_TRUE(configure(POINT_CONFIGURATION));
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 300, 220);
  HWND button = addButton(front);
  ASSERT_TRUE(desktopIs({front, back}, front)) << desktop();

  std::string behind = reportAt(back, HTCAPTION);
  EXPECT_TRUE(says(behind, "window under the pointer: " + handleText(back) +
                               ", class \"vornE2eWindow\", title \"back\"\n"))
      << behind;
  EXPECT_TRUE(says(behind, "program: vorn_e2e_tests.exe\n")) << behind;
  EXPECT_TRUE(says(behind, "area: CAPTION (the window's answer to WM_NCHITTEST: 2)\n")) << behind;
  EXPECT_TRUE(says(behind,
                   "in front: no (the window activated last counts: now the foreground "
                   "window, " +
                       handleText(front)))
      << behind;
  EXPECT_TRUE(says(behind,
                   "  NCMBUTTONUP      List1, rule 1 (match \"Caption\"): "
                   "\"LowerAndSwitch\" runs; the click is swallowed"))
      << behind;
  EXPECT_TRUE(says(behind,
                   "  NCMBUTTONDOWN    no list of its own: NCMBUTTONUP's List1 decides "
                   "it, with rule 1 (match \"Caption\"): the press is swallowed"))
      << behind;

  std::string inFront = reportAt(front, HTCAPTION);
  EXPECT_TRUE(says(inFront, "in front: yes")) << inFront;
  EXPECT_TRUE(says(inFront, "List1, rule 2 (match \"Caption\"): \"MinimizeOrLower\" runs"))
      << inFront;

  std::string client = reportAt(front, HTCLIENT);
  EXPECT_TRUE(says(client, "area: CLIENT (the window's answer to WM_NCHITTEST: 1)\n")) << client;
  EXPECT_TRUE(says(client,
                   "  MBUTTONUP        List1, the default rule: nothing runs; the click "
                   "goes on to the window\n"))
      << client;

  std::string control = reportAt(button, HTCLIENT);
  EXPECT_TRUE(says(control, "window under the pointer: " + handleText(button) +
                                ", class \"Button\", title \"OK\"\n"))
      << control;
  EXPECT_TRUE(says(control, "click target: " + handleText(front) +
                                ", class \"vornE2eWindow\", title \"front\"\n"))
      << control;
  EXPECT_TRUE(says(control,
                   "  MBUTTONUP        List1, rule 3 (match \"Button\"): nothing runs; "
                   "the click is swallowed"))
      << control;
  EXPECT_TRUE(says(control,
                   "[Match.vornE2eWindow]\nnPattern=1\n1.Invoked.Class=Button\n"
                   "1.Active.Class=vornE2eWindow\n1.NCHitTest=CLIENT\n"))
      << control;
  EXPECT_TRUE(desktopIs({front, back}, front)) << "vorncheck only looks; " << desktop();
}

TEST_F(VorncheckPoint, TellsTheCaptionOfAMaximisedWindow) {
  ASSERT_TRUE(configure(POINT_CONFIGURATION));
  HWND window = openWindow("maximised", 100, 100);
  ShowWindow(window, SW_MAXIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return IsZoomed(window) != FALSE; }));
  ASSERT_TRUE(activate(window));
  std::string text = reportAt(window, HTCAPTION);
  EXPECT_TRUE(says(text, "window under the pointer: " + handleText(window))) << text;
  EXPECT_TRUE(says(text, "area: CAPTION")) << text;
  EXPECT_TRUE(says(text, "in front: yes")) << text;
  EXPECT_TRUE(says(text,
                   "  NCLBUTTONDBLCLK  List2, rule 1 (match \"Caption\"): \"ToggleMaximize\" "
                   "runs"))
      << text;
}

TEST_F(VorncheckPoint, PointReadsThePointerAfterTheCountDown) {
  ASSERT_TRUE(configure(POINT_CONFIGURATION));
  HWND back = openWindow("back", 100, 100);
  openWindow("front", 300, 220);
  POINT caption = {0, 0};
  ASSERT_TRUE(vorntest::findVisiblePoint(back, HTCAPTION, &caption));
  ASSERT_TRUE(placePointerAt(caption)) << lastInputProblem();
  ProgramRun run = vorncheck("--point --wait 1");
  EXPECT_TRUE(says(run.errors, "move the pointer over the window to check; reading it in 1\n"))
      << run.errors;
  EXPECT_GE(run.milliseconds, 1000u) << "the count-down waits its second";
  EXPECT_TRUE(says(run.output,
                   "point: " + std::to_string(caption.x) + ", " + std::to_string(caption.y) + "\n"))
      << run.output;
  EXPECT_TRUE(says(run.output, "window under the pointer: " + handleText(back))) << run.output;
  EXPECT_TRUE(says(run.output, "area: CAPTION")) << run.output;
}

// ---- the sample against the shell's windows --------------------------------------------

LRESULT CALLBACK plainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(VorncheckPoint, TheSampleShowsTheDesktopFromTheDesktopAndTheTaskbar) {
  std::string sample = vorntest::readFileBytes(VORN_SOURCE_DIR "/examples/vorn.ini");
  ASSERT_FALSE(sample.empty());
  ASSERT_TRUE(configure(sample));
  const char *shellClasses[] = {"Progman", "SHELLDLL_DefView", "SysListView32", "Shell_TrayWnd",
                                "MSTaskListWClass"};
  for (const char *name : shellClasses) registerPlainWindowClass(name, plainWindowProc);
  HINSTANCE instance = GetModuleHandleA(NULL);
  HWND desktop = CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP, 40, 40, 600, 400, NULL,
                                 NULL, instance, NULL);
  HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400,
                              desktop, NULL, instance, NULL);
  HWND icons = CreateWindowExA(0, "SysListView32", "FolderView", WS_CHILD | WS_VISIBLE, 0, 0, 600,
                               400, view, NULL, instance, NULL);
  int bottom = GetSystemMetrics(SM_CYSCREEN);
  HWND taskbar = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0,
                                 bottom - 60, 700, 30, NULL, NULL, instance, NULL);
  HWND tasks = CreateWindowExA(0, "MSTaskListWClass", "Running applications", WS_CHILD | WS_VISIBLE,
                               100, 0, 500, 30, taskbar, NULL, instance, NULL);
  windows.push_back(taskbar);
  windows.push_back(desktop);
  ASSERT_TRUE(desktop && view && icons && taskbar && tasks);
  ShowWindow(desktop, SW_SHOWNOACTIVATE);
  ShowWindow(taskbar, SW_SHOWNOACTIVATE);
  stackFromTop({desktop});
  pumpPending();

  for (HWND clicked : {icons, tasks}) {
    std::string text = reportAt(clicked, HTCLIENT);
    HWND target = clicked == icons ? desktop : taskbar;
    EXPECT_TRUE(says(text, "click target: " + handleText(target))) << text;
    EXPECT_TRUE(says(text, SAMPLE_DESKTOP_PRESS)) << text;
    EXPECT_TRUE(says(text, SAMPLE_DESKTOP_RELEASE)) << text;
  }
}

// ---- a window that does not answer ----------------------------------------------------

struct StuckWindow {
  HANDLE created;
  HANDLE release;
  HWND window;
};

// Makes a window and then waits, handling no message, until released.
DWORD WINAPI stuckThread(void *parameter) {
  StuckWindow *stuck = (StuckWindow *)parameter;
  stuck->window = CreateWindowExA(0, "vornE2eStuck", "stuck", WS_POPUP | WS_CAPTION, 500, 300, 300,
                                  200, NULL, NULL, GetModuleHandleA(NULL), NULL);
  ShowWindow(stuck->window, SW_SHOWNOACTIVATE);
  SetEvent(stuck->created);
  WaitForSingleObject(stuck->release, INFINITE);
  DestroyWindow(stuck->window);
  return 0;
}

TEST_F(VorncheckPoint, AWindowThatDoesNotAnswerIsNotWaitedFor) {
  ASSERT_TRUE(configure(POINT_CONFIGURATION));
  registerPlainWindowClass("vornE2eStuck", plainWindowProc);
  StuckWindow stuck = {CreateEventA(NULL, TRUE, FALSE, NULL), CreateEventA(NULL, TRUE, FALSE, NULL),
                       NULL};
  HANDLE thread = CreateThread(NULL, 0, stuckThread, &stuck, 0, NULL);
  ASSERT_NE(nullptr, thread);
  ASSERT_TRUE(pumpUntilSignalled(stuck.created));
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(stuck.window, &rect);
  POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  EXPECT_EQ(stuck.window, WindowFromPoint(middle));

  ProgramRun run = vorncheckAt(middle);
  SetEvent(stuck.release);
  EXPECT_TRUE(pumpUntilSignalled(thread));
  CloseHandle(thread);
  CloseHandle(stuck.created);
  CloseHandle(stuck.release);

  EXPECT_TRUE(says(run.output, "window under the pointer: " + handleText(stuck.window) +
                                   ", class \"vornE2eStuck\", title \"stuck\"\n"))
      << run.output;
  EXPECT_TRUE(says(run.output,
                   "area: unknown: the window did not answer WM_NCHITTEST within "
                   "1000 ms (it may be hung)"))
      << run.output;
  EXPECT_FALSE(says(run.output, "clicks here")) << run.output;
  EXPECT_LT(run.milliseconds, 10000u) << "vorncheck waited for the window";
}

}  // namespace
}  // namespace e2e
