// vorn_installed_click: the part of the installer's test that has to be a
// Windows program (check-installer.py runs it under Wine, with the
// installed vorn running on the rule that file writes: a middle click on a
// caption minimises the window).
//
//   vorn_installed_click HOOK_LIBRARY FLAG_FILE
//
// Opens a captioned window and middle-clicks its caption with real input;
// the click was handled by the installed vorn when the window never saw it
// and ends up minimised. Then it holds HOOK_LIBRARY loaded, as every
// program that ran vorn's hooks holds it after the daemon has stopped,
// writes "handled" or "not handled" into FLAG_FILE and keeps running until
// FLAG_FILE is deleted, so that an upgrade meanwhile meets the library in
// use. Exit code 0 when the click was handled, 1 when not, 2 when the test
// could not run.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "configuration_files.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "support/window_points.h"
#include "test_windows.h"

namespace {

// An upgrade with the installer's stop, copy and start under Wine takes a
// few seconds; the hold outlasts it by far.
const DWORD HOLD_TIMEOUT_MS = 120000;

bool middleClickMinimises(HWND window) {
  POINT caption;
  if (!vorntest::findVisiblePoint(window, HTCAPTION, &caption)) {
    printf("the window's caption cannot be seen\n");
    return false;
  }
  e2e::forgetReceivedMessages();
  if (!e2e::clickAt(caption, e2e::MIDDLE_BUTTON)) {
    printf("the click was not handled: %s\n", e2e::lastInputProblem().c_str());
    return false;
  }
  std::string received = e2e::buttonMessagesReceived(window);
  bool minimised = e2e::pumpUntil([&] { return IsIconic(window) != FALSE; });
  printf("the window received %s and is %sminimised\n", received.c_str(), minimised ? "" : "not ");
  return received == "none" && minimised;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: vorn_installed_click HOOK_LIBRARY FLAG_FILE\n");
    return 2;
  }
  setvbuf(stdout, NULL, _IONBF, 0);
  e2e::registerWindowClasses();
  HWND marker = e2e::createMarkerWindow();
  HWND window = e2e::createCaptionedWindow("installed vorn", 200, 150, 320, 220);
  if (!marker || !window) {
    printf("could not make the windows\n");
    return 2;
  }
  e2e::useGestureMarker(marker);
  e2e::pumpPending();
  bool handled = middleClickMinimises(window);

  // The system has loaded the library for the hooks already; this
  // reference keeps it even where the system would let it go.
  HMODULE library = LoadLibraryA(argv[1]);
  if (!library) {
    printf("could not load %s: error %lu\n", argv[1], GetLastError());
    return 2;
  }
  std::string flag = argv[2];
  if (!e2e::writeTextFile(flag, handled ? "handled" : "not handled")) {
    printf("could not write %s\n", flag.c_str());
    return 2;
  }
  if (!e2e::pumpUntil([&] { return !e2e::fileExists(flag); }, HOLD_TIMEOUT_MS)) {
    printf("%s was never deleted\n", flag.c_str());
    return 2;
  }
  FreeLibrary(library);
  return handled ? 0 : 1;
}
