#include "scenario.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "config/image_layout.h"
#include "config/loader.h"
#include "configuration_files.h"
#include "hook_library.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "support/window_points.h"
#include "test_windows.h"
#include "vorn_names.h"
#include "window_state.h"

namespace e2e {

namespace {

const DWORD DAEMON_TIMEOUT_MS = 10000;
const int WINDOW_WIDTH = 320;
const int WINDOW_HEIGHT = 220;

}  // namespace

Scenario::Scenario() : Scenario(defaultStageDirectory()) {}

Scenario::Scenario(std::string stage) : stageDirectory(std::move(stage)), daemons(stageDirectory) {}

void Scenario::SetUp() {
  registerWindowClasses();
  ASSERT_TRUE(fileExists(stageDirectory + "\\" VORN_DAEMON_FILE)) << "nothing staged in " << stageDirectory;
  ASSERT_EQ(nullptr, findControlWindow()) << "a vornd that this scenario did not start is running";
  ASSERT_FALSE(hookLibraryPresent()) << VORN_LIBRARY_FILE " is still loaded from an earlier scenario";
  ASSERT_TRUE(removeFile(windowsConfigurationPath()));
  ASSERT_TRUE(removeFile(stagedConfigurationPath(stageDirectory)));
  listener = createAnnouncementListener();
  marker = createMarkerWindow();
  ASSERT_NE(nullptr, listener);
  ASSERT_NE(nullptr, marker);
  useGestureMarker(marker);
  forgetReceivedMessages();
}

void Scenario::TearDown() {
  EXPECT_EQ("", daemons.stopAll());
  for (HWND window : windows) DestroyWindow(window);
  windows.clear();
  if (marker) DestroyWindow(marker);
  if (listener) DestroyWindow(listener);
  pumpPending();
  unloadHookLibrary();
  removeFile(windowsConfigurationPath());
  removeFile(stagedConfigurationPath(stageDirectory));
}

::testing::AssertionResult Scenario::writeConfiguration(const char *text) {
  std::string path = stagedConfigurationPath(stageDirectory);
  if (writeTextFile(path, text)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "could not write " << path;
}

::testing::AssertionResult Scenario::startDaemon(const char *arguments) {
  int before = announcementsHeard();
  if (!daemons.start(arguments, &daemon)) {
    return ::testing::AssertionFailure()
           << VORN_DAEMON_FILE " could not be started from " << stageDirectory;
  }
  if (!waitForAnnouncement(before)) {
    return ::testing::AssertionFailure() << "vornd did not announce its hooks";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Scenario::stopDaemon() {
  ::testing::AssertionResult stopped = runDaemonCommand("--stop");
  if (!stopped) return stopped;
  DWORD exitCode = 1;
  if (!DaemonProcesses::waitForExit(daemon, DAEMON_TIMEOUT_MS, &exitCode)) {
    return ::testing::AssertionFailure() << "the running vornd did not end on --stop";
  }
  if (exitCode != 0) {
    return ::testing::AssertionFailure() << "the running vornd exited with " << exitCode;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Scenario::runDaemonCommand(const char *arguments) {
  DWORD exitCode = 0;
  if (!daemons.run(arguments, DAEMON_TIMEOUT_MS, &exitCode)) {
    return ::testing::AssertionFailure() << "vornd " << arguments << " did not end";
  }
  if (exitCode != 0) {
    return ::testing::AssertionFailure() << "vornd " << arguments << " exited with " << exitCode;
  }
  return ::testing::AssertionSuccess();
}

bool Scenario::waitForAnnouncement(int before, DWORD timeoutMs) {
  return pumpUntil([&] { return announcementsHeard() > before; },
                   timeoutMs ? timeoutMs : DAEMON_TIMEOUT_MS);
}

int Scenario::imageHeaderField(int offset, int missing, const char *sectionName) {
  HANDLE section = OpenFileMappingA(FILE_MAP_READ, FALSE, sectionName);
  if (!section) return missing;
  const unsigned char *image =
      (const unsigned char *)MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
  int value = image ? readImageInt(image, (uint32_t)offset) : missing;
  if (image) UnmapViewOfFile(image);
  CloseHandle(section);
  return value;
}

HWND Scenario::openWindow(const char *title, int left, int top) {
  HWND window = createCaptionedWindow(title, left, top, WINDOW_WIDTH, WINDOW_HEIGHT);
  EXPECT_NE(nullptr, window) << "could not create window " << title;
  if (window) windows.push_back(window);
  EXPECT_TRUE(activate(window)) << title << " did not become the foreground window in front";
  return window;
}

::testing::AssertionResult Scenario::click(HWND window, LRESULT hitTest, MouseButton button) {
  return gesture(window, hitTest, [&](POINT point) { return clickAt(point, button); });
}

::testing::AssertionResult Scenario::doubleClick(HWND window, LRESULT hitTest, MouseButton button) {
  return gesture(window, hitTest, [&](POINT point) { return doubleClickAt(point, button); });
}

::testing::AssertionResult Scenario::clickWithWheelRoll(HWND window, LRESULT hitTest,
                                                        MouseButton button) {
  return gesture(window, hitTest, [&](POINT point) { return clickWithWheelRollAt(point, button); });
}

::testing::AssertionResult Scenario::gesture(HWND window, LRESULT hitTest,
                                             const std::function<bool(POINT)> &make) {
  POINT point;
  if (!vorntest::findVisiblePoint(window, hitTest, &point)) {
    return ::testing::AssertionFailure() << "no visible point with hit-test code " << hitTest
                                         << " on " << windowTitle(window) << "; " << desktop();
  }
  if (!make(point)) return ::testing::AssertionFailure() << lastInputProblem();
  return ::testing::AssertionSuccess();
}

std::string Scenario::desktop() const { return describeDesktop(windows); }

void Scenario::gesturesEndOnOwnMarker() { useGestureMarker(marker); }

}  // namespace e2e
