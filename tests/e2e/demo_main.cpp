// vorn_e2e_demo: what scripts/run shows. Starts vornd.exe from a staging
// folder (with the vorn.ini found there, the sample), opens three windows,
// each in a colour of its own with its name written large, and clicks the
// middle button on the caption of the front window. The sample's rule for
// that click ("MinimizeOrLower") sends the window to the back, activates
// the next one and minimises the window clicked, all of which shows on the
// screen. (A window that only goes down the z-order does not: Wine's
// virtual desktop keeps its picture of the windows as they were until a
// window is raised over it.) Prints the desktop before and after, and what
// the clicked window received.
//
//   vorn_e2e_demo STAGE_DIRECTORY [HANDSHAKE_DIRECTORY]
//
// With a handshake directory, the demo stops twice, before and after the
// click: it creates "before.ready" (then "after.ready") there and goes on
// once "before.done" ("after.done") appears, so that a screenshot can be
// taken in between. Before the first stop it writes "scene.txt" there for
// whoever looks at the pictures: where the click goes, the area that the
// click must change, the area that it must leave as it is, and a caption
// for each picture. Exit code 0 when the click did what the sample
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
#include "vorn_names.h"
#include "window_state.h"

namespace {

const DWORD DAEMON_TIMEOUT_MS = 10000;
const DWORD HANDSHAKE_TIMEOUT_MS = 60000;
const int WINDOW_WIDTH = 420;
const int WINDOW_HEIGHT = 300;
const int NAME_POINT_SIZE = 28;

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
    printf("could not start %s\\" VORN_DAEMON_FILE "\n", stage.c_str());
    return false;
  }
  if (!e2e::pumpUntil([&] { return e2e::announcementsHeard() > before; }, DAEMON_TIMEOUT_MS)) {
    printf("vornd did not announce its hooks\n");
    return false;
  }
  // The hook handles are the daemon's own: its announcement, made once
  // the hooks are installed, is what another process can see of them.
  printf(VORN_DAEMON_FILE " is running with %s; hooks announced\n",
         e2e::stagedConfigurationPath(stage).c_str());
  return true;
}

// ---- the windows, painted so that a picture tells them apart ---------------------

WNDPROC loggingProcedure = NULL;

// The window's colour lives in its user data; the rest of its handling,
// the message log among it, is that of the scenarios' windows.
LRESULT CALLBACK paintedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush((COLORREF)GetWindowLongPtrA(window, GWLP_USERDATA));
    FillRect((HDC)wParam, &client, brush);
    DeleteObject(brush);
    return 1;
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HFONT font = CreateFontA(-MulDiv(NAME_POINT_SIZE, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0,
                             FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    std::string name = e2e::windowTitle(window);
    DrawTextA(dc, name.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, previous);
    DeleteObject(font);
    EndPaint(window, &paint);
    return 0;
  }
  return CallWindowProcA(loggingProcedure, window, message, wParam, lParam);
}

HWND createPaintedWindow(const char *title, int left, int top, COLORREF colour) {
  HWND window = e2e::createCaptionedWindow(title, left, top, WINDOW_WIDTH, WINDOW_HEIGHT);
  if (!window) return NULL;
  SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)colour);
  loggingProcedure = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)paintedWindowProc);
  InvalidateRect(window, NULL, TRUE);
  return window;
}

// ---- what the pictures show ------------------------------------------------------------

RECT windowRect(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return rect;
}

std::string rectText(const RECT &rect) {
  char text[64];
  snprintf(text, sizeof text, "%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
  return text;
}

// Where the click goes; the front window, which the click must take away
// (the picture must change there); the part of the back window that
// nothing covers, which must stay as it is; and a caption for each
// picture.
bool writeScene(const std::string &handshake, POINT click, HWND back, HWND middle, HWND front) {
  if (handshake.empty()) return true;
  RECT uncovered = windowRect(back);
  uncovered.right = windowRect(middle).left;
  char clickText[64];
  snprintf(clickText, sizeof clickText, "%ld %ld", click.x, click.y);
  std::string scene = std::string("click ") + clickText + "\n" + "changed " +
                      rectText(windowRect(front)) + "\n" + "unchanged " + rectText(uncovered) +
                      "\n" +
                      "before vorn runs with examples/vorn.ini; the red ring: a middle click is "
                      "about to land on the caption of the window in front\n" +
                      "after the sample's rule for that click (MinimizeOrLower) sent the window "
                      "back, activated the next one and minimised it\n";
  return e2e::writeTextFile(handshake + "\\scene.txt", scene.c_str());
}

bool isBottomWindow(HWND window) { return GetWindow(window, GW_HWNDNEXT) == NULL; }

void printDesktop(const char *when, const std::vector<HWND> &windows, HWND clicked) {
  printf("%s %s; \"%s\" is the bottom window of the desktop: %s\n", when,
         e2e::describeDesktop(windows).c_str(), e2e::windowTitle(clicked).c_str(),
         isBottomWindow(clicked) ? "yes" : "no");
}

// The click the sample's rule for the caption in front is about. True when
// it did what that rule says: the window goes to the bottom of the desktop
// and is minimised, the middle window becomes the foreground window, and
// the click never reaches the clicked window.
bool clickFrontCaption(POINT caption, HWND back, HWND middle, HWND front) {
  printf("middle click at (%ld, %ld), on the caption of \"%s\"\n", caption.x, caption.y,
         e2e::windowTitle(front).c_str());
  e2e::forgetReceivedMessages();
  if (!e2e::clickAt(caption, e2e::MIDDLE_BUTTON)) {
    printf("the click was not handled\n");
    return false;
  }
  std::string received = e2e::buttonMessagesReceived(front);
  printf("\"%s\" received these button messages: %s\n", e2e::windowTitle(front).c_str(),
         received.c_str());
  return received == "none" && e2e::pumpUntil([&] {
           return e2e::desktopIs({middle, back, front}, middle) && isBottomWindow(front) &&
                  IsIconic(front);
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
  HWND back = createPaintedWindow("Back window", 60, 70, RGB(0x9C, 0xC3, 0xE6));
  HWND middle = createPaintedWindow("Middle window", 270, 200, RGB(0xF4, 0xB1, 0x83));
  HWND front = createPaintedWindow("Front window", 520, 380, RGB(0xA9, 0xD1, 0x8E));
  e2e::pumpUntil([&] { return e2e::desktopIs({front, middle, back}, front); });
  std::vector<HWND> windows = {back, middle, front};

  POINT caption = {0, 0};
  if (!vorntest::findVisiblePoint(front, HTCAPTION, &caption)) {
    printf("the caption of \"%s\" cannot be seen\n", e2e::windowTitle(front).c_str());
    daemons.stopAll();
    return 2;
  }
  printDesktop("before:", windows, front);
  bool described = writeScene(handshake, caption, back, middle, front);
  bool shotBefore = pauseForScreenshot(handshake, "before");
  bool asConfigured = clickFrontCaption(caption, back, middle, front);
  printDesktop("after: ", windows, front);
  printf(asConfigured ? "as the sample's rule for the caption in front says: vorn swallowed the "
                        "click, sent the front window to the bottom, activated the middle window "
                        "and minimised the front window\n"
                      : "the click did NOT do what the sample's rule for the caption in front "
                        "says\n");
  bool shotAfter = pauseForScreenshot(handshake, "after");

  std::string problems = daemons.stopAll();
  printf(VORN_DAEMON_FILE " %s%s\n",
         problems.empty() ? "stopped" : "had to be terminated: ", problems.c_str());
  fflush(stdout);
  if (!described || !shotBefore || !shotAfter) return 2;
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
