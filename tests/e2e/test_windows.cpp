#include "test_windows.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "support/message_names.h"
#include "support/message_sequence.h"
#include "window_class.h"

namespace e2e {

namespace {

const char CAPTIONED_CLASS[] = "vornE2eWindow";
const char LISTENER_CLASS[] = "vornE2eListener";
const char MARKER_CLASS[] = "vornE2eMarker";

using vorntest::RecordedMessage;

// What the captioned windows and the marker window received; each entry's
// point is the pointer's position on the screen.
vorntest::MessageLog received;
// Where every mouse move that reached a window of this thread was made,
// in order; kept across forgetReceivedMessages().
std::vector<POINT> pointerMoves;
int announcements = 0;

bool isLogged(UINT message) {
  return isMouseMessage(message) || message == WM_MOUSEACTIVATE || message == WM_ACTIVATE ||
         message == WM_SYSCOMMAND;
}

void record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!isLogged(message)) return;
  POINT point = screenPointOf(window, message, lParam);
  received.record(window, message, wParam, lParam, point);
  if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) pointerMoves.push_back(point);
}

LRESULT CALLBACK captionedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  record(window, message, wParam, lParam);
  if (message == WM_NCLBUTTONDBLCLK && wParam == HTCAPTION) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK listenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WININICHANGE && wParam == 0 && lParam == 0) ++announcements;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK markerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  record(window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void registerWindowClasses() {
  static bool registered = false;
  if (registered) return;
  registerPlainWindowClass(CAPTIONED_CLASS, captionedWindowProc);
  registerPlainWindowClass(LISTENER_CLASS, listenerWindowProc);
  registerPlainWindowClass(MARKER_CLASS, markerWindowProc);
  registered = true;
}

HWND createCaptionedWindow(const char *title, int left, int top, int width, int height) {
  return CreateWindowExA(0, CAPTIONED_CLASS, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, top,
                         width, height, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

HWND createAnnouncementListener() {
  return CreateWindowExA(0, LISTENER_CLASS, "vorn e2e listener", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                         GetModuleHandleA(NULL), NULL);
}

int announcementsHeard() { return announcements; }

HWND createMarkerWindow() {
  POINT corner = {GetSystemMetrics(SM_CXSCREEN) - MARKER_WINDOW_SIZE,
                  GetSystemMetrics(SM_CYSCREEN) - MARKER_WINDOW_SIZE};
  return createMarkerWindowAt(MARKER_CLASS, "vorn e2e marker", corner);
}

int pointerMovesHeardAt(POINT point) {
  int count = 0;
  for (const POINT &move : pointerMoves) {
    if (move.x == point.x && move.y == point.y) ++count;
  }
  return count;
}

int countReceived(HWND window, UINT message) { return received.count(window, message); }

int systemCommandsReceived(HWND window, WPARAM command) {
  int count = 0;
  for (const RecordedMessage &entry : received.to(window, WM_SYSCOMMAND)) {
    if ((entry.wParam & 0xFFF0) == command) ++count;
  }
  return count;
}

std::string buttonMessagesReceived(HWND window) {
  std::string names;
  for (const RecordedMessage &logged : received) {
    const char *name = vorntest::buttonMessageName(logged.message);
    if (logged.window != window || name == NULL) continue;
    if (!names.empty()) names += ", ";
    names += name;
  }
  return names.empty() ? "none" : names;
}

std::string receivedTrace() {
  std::string trace;
  for (const RecordedMessage &logged : received) {
    bool traced = vorntest::buttonMessageName(logged.message) != NULL ||
                  logged.message == WM_MOUSEMOVE || logged.message == WM_MOUSEACTIVATE ||
                  logged.message == WM_SYSCOMMAND;
    if (!traced) continue;
    char entry[160];
    snprintf(entry, sizeof entry, "%s%s %s (%ld,%ld)", trace.empty() ? "" : "; ",
             windowTitle(logged.window).c_str(), vorntest::messageName(logged.message).c_str(),
             logged.point.x, logged.point.y);
    trace += entry;
  }
  return trace.empty() ? "nothing" : trace;
}

void forgetReceivedMessages() { received.clear(); }

std::string windowTitle(HWND window) {
  char title[128] = "";
  GetWindowTextA(window, title, sizeof title);
  return title;
}

}  // namespace e2e
