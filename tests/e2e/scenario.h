// The fixture every scenario runs in. It checks that the stage is clean
// (no vornd running, no vorn.ini in the Windows directory or beside the
// staged vornd.exe), gives the scenario its windows, and afterwards stops
// every vornd it started, even when the scenario failed, removes the
// windows and the files, and unloads vorn.dll from this process.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "daemon_process.h"
#include "mouse_input.h"
#include "vorn_names.h"

namespace e2e {

class Scenario : public ::testing::Test {
 protected:
  Scenario();
  // A scenario whose daemon is staged in `stage` rather than beside this
  // program.
  explicit Scenario(std::string stage);

  void SetUp() override;
  void TearDown() override;

  // Writes `text` as vorn.ini beside the staged vornd.exe.
  ::testing::AssertionResult writeConfiguration(const char *text);

  // Starts vornd with `arguments` and waits until it has announced its
  // hooks.
  ::testing::AssertionResult startDaemon(const char *arguments = "");

  // Stops the daemon with `vornd --stop` and waits until it has ended with
  // exit code 0.
  ::testing::AssertionResult stopDaemon();

  // Runs another vornd with `arguments` to its end and checks that it
  // exited with 0.
  ::testing::AssertionResult runDaemonCommand(const char *arguments);

  // Waits until the daemon has announced more often than `before` times.
  // `timeoutMs` 0: the time any daemon command is given.
  bool waitForAnnouncement(int before, DWORD timeoutMs = 0);

  // ImageHeader field at `offset` of the configuration image the daemon
  // published (in section `section`); `missing` when there is no image.
  int imageHeaderField(int offset, int missing = -2, const char *section = VORN_SECTION_NAME);

  // A captioned window of 320x220 pixels at (`left`, `top`); it becomes the
  // active window.
  HWND openWindow(const char *title, int left, int top);

  // The gestures of mouse_input.h, made at a visible point of `window` that
  // has the hit-test code `hitTest`.
  ::testing::AssertionResult click(HWND window, LRESULT hitTest, MouseButton button);
  ::testing::AssertionResult doubleClick(HWND window, LRESULT hitTest, MouseButton button);
  ::testing::AssertionResult clickWithWheelRoll(HWND window, LRESULT hitTest, MouseButton button);

  // The scenario's windows, for messages.
  std::string desktop() const;

  // Gestures end on this process's marker again, after some that ended on
  // another process's (mouse_input.h).
  void gesturesEndOnOwnMarker();

  std::string stageDirectory;
  DaemonProcesses daemons;
  HANDLE daemon = NULL;
  std::vector<HWND> windows;

 private:
  ::testing::AssertionResult gesture(HWND window, LRESULT hitTest,
                                     const std::function<bool(POINT)> &make);

  HWND listener = NULL;
  HWND marker = NULL;
};

}  // namespace e2e
