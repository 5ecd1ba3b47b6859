// vorn_e2e_demo: what scripts/run shows. Starts vornd.exe from a staging
// folder (with the vorn.ini found there), opens two windows, and makes the
// typical click: the middle button on the caption of the window that is
// not in front. Prints the desktop before and after, and what the clicked
// window received.
//
//   vorn_e2e_demo STAGE_DIRECTORY [HANDSHAKE_DIRECTORY]
//
// With a handshake directory, the demo stops twice, before and after the
// click: it creates "before.ready" (then "after.ready") there and goes on
// once "before.done" ("after.done") appears, so that a screenshot can be
// taken in between. Exit code 0 when the click did what the sample
// configuration says, 1 when it did not, 2 when the demo could not run.
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "configuration_files.h"
#include "daemon_process.h"
#include "hook_library.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "support/window_points.h"
#include "test_windows.h"
#include "window_state.h"

namespace {

const DWORD DAEMON_TIMEOUT_MS = 10000;
const DWORD HANDSHAKE_TIMEOUT_MS = 60000;

std::string fullPath(const char *path) {
  char full[MAX_PATH] = "";
  GetFullPathNameA(path, sizeof full, full, NULL);
  return full;
}

// Lets the screenshot be taken: announces `step`.ready and waits for
// `step`.done in the handshake directory.
bool pauseForScreenshot(const std::string &handshakeDirectory, const char *step) {
  if (handshakeDirectory.empty()) return true;
  std::string done = handshakeDirectory + "\\" + step + ".done";
  e2e::removeFile(done);
  e2e::writeTextFile(handshakeDirectory + "\\" + step + ".ready", "");
  return e2e::pumpUntil([&] { return e2e::fileExists(done); }, HANDSHAKE_TIMEOUT_MS);
}

bool startDaemon(e2e::DaemonProcesses *daemons, const std::string &stage) {
  int before = e2e::announcementsHeard();
  if (!daemons->start("", NULL)) {
    printf("could not start %s\\vornd.exe\n", stage.c_str());
    return false;
  }
  if (!e2e::pumpUntil([&] { return e2e::announcementsHeard() > before; }, DAEMON_TIMEOUT_MS)) {
    printf("vornd did not announce its hooks\n");
    return false;
  }
  e2e::loadHookLibrary(stage);
  printf("vornd.exe is running with %s; hooks installed: %s\n",
         e2e::stagedConfigurationPath(stage).c_str(),
         e2e::hookLibraryIsHooking() == 1 ? "yes" : "NO");
  return e2e::hookLibraryIsHooking() == 1;
}

bool isBottomWindow(HWND window) { return GetWindow(window, GW_HWNDNEXT) == NULL; }

void printDesktop(const char *when, const std::vector<HWND> &windows, HWND back) {
  printf("%s %s; \"%s\" is the bottom window of the desktop: %s\n", when,
         e2e::describeDesktop(windows).c_str(), e2e::windowTitle(back).c_str(),
         isBottomWindow(back) ? "yes" : "no");
}

// The click the sample configuration's first rule is about. True when it
// did what that rule says: the window goes to the bottom of the desktop,
// the front window is the foreground window, and the click never reaches
// the clicked window.
bool clickBackCaption(HWND back, HWND front) {
  POINT caption;
  if (!vorntest::findVisiblePoint(back, HTCAPTION, &caption)) {
    printf("the caption of \"%s\" cannot be seen\n", e2e::windowTitle(back).c_str());
    return false;
  }
  printf("middle click at (%ld, %ld), on the caption of \"%s\"\n", caption.x, caption.y,
         e2e::windowTitle(back).c_str());
  e2e::forgetReceivedMessages();
  if (!e2e::clickAt(caption, e2e::MIDDLE_BUTTON)) {
    printf("the click was not handled\n");
    return false;
  }
  std::string received = e2e::buttonMessagesReceived(back);
  printf("\"%s\" received these button messages: %s\n", e2e::windowTitle(back).c_str(),
         received.c_str());
  return received == "none" && e2e::pumpUntil([&] {
           return e2e::desktopIs({front, back}, front) && isBottomWindow(back);
         });
}

int runDemo(const std::string &stage, const std::string &handshake) {
  e2e::registerWindowClasses();
  HWND marker = e2e::createMarkerWindow();
  e2e::useGestureMarker(marker);
  e2e::createAnnouncementListener();
  e2e::DaemonProcesses daemons(stage);
  if (!startDaemon(&daemons, stage)) {
    printf("%s\n", daemons.stopAll().c_str());
    return 2;
  }
  HWND back = e2e::createCaptionedWindow("Back window", 120, 110, 420, 300);
  HWND front = e2e::createCaptionedWindow("Front window", 330, 260, 420, 300);
  e2e::pumpUntil([&] { return GetForegroundWindow() == front; });
  std::vector<HWND> windows = {back, front};

  printDesktop("before:", windows, back);
  bool shotBefore = pauseForScreenshot(handshake, "before");
  bool asConfigured = clickBackCaption(back, front);
  printDesktop("after: ", windows, back);
  printf(asConfigured ? "as the first rule of List1 says: vorn swallowed the click, sent the back "
                        "window to the bottom and activated the front window\n"
                      : "the click did NOT do what the first rule of List1 says\n");
  bool shotAfter = pauseForScreenshot(handshake, "after");

  std::string problems = daemons.stopAll();
  printf("vornd.exe %s%s\n",
         problems.empty() ? "stopped" : "had to be terminated: ", problems.c_str());
  fflush(stdout);
  if (!shotBefore || !shotAfter) return 2;
  return asConfigured ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: vorn_e2e_demo STAGE_DIRECTORY [HANDSHAKE_DIRECTORY]\n");
    return 2;
  }
  setvbuf(stdout, NULL, _IONBF, 0);
  return runDemo(fullPath(argv[1]), argc == 3 ? fullPath(argv[2]) : std::string());
}
