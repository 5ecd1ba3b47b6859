#include "test_windows.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "window_class.h"

namespace e2e {

namespace {

const char CAPTIONED_CLASS[] = "vornE2eWindow";
const char LISTENER_CLASS[] = "vornE2eListener";
const char MARKER_CLASS[] = "vornE2eMarker";

// A message that one of the captioned windows or the marker window
// received; `point` is the pointer's position on the screen.
struct ReceivedMessage {
  HWND window;
  UINT message;
  POINT point;
};

std::vector<ReceivedMessage> received;
// Where every mouse move that reached a window of this thread was made,
// in order; kept across forgetReceivedMessages().
std::vector<POINT> pointerMoves;
int announcements = 0;

bool isLogged(UINT message) {
  return isMouseMessage(message) || message == WM_MOUSEACTIVATE || message == WM_ACTIVATE ||
         message == WM_SYSCOMMAND;
}

void record(HWND window, UINT message, LPARAM lParam) {
  if (!isLogged(message)) return;
  POINT point = screenPointOf(window, message, lParam);
  received.push_back({window, message, point});
  if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) pointerMoves.push_back(point);
}

LRESULT CALLBACK captionedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  record(window, message, lParam);
  if (message == WM_NCLBUTTONDBLCLK && wParam == HTCAPTION) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK listenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WININICHANGE && wParam == 0 && lParam == 0) ++announcements;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK markerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  record(window, message, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

struct MessageName {
  UINT message;
  const char *name;
};

const MessageName BUTTON_MESSAGES[] = {
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
    {WM_MBUTTONUP, "WM_MBUTTONUP"},
    {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
    {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
    {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
    {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
    {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
    {WM_NCMBUTTONDOWN, "WM_NCMBUTTONDOWN"},
    {WM_NCMBUTTONUP, "WM_NCMBUTTONUP"},
    {WM_NCMBUTTONDBLCLK, "WM_NCMBUTTONDBLCLK"},
    {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"},
    {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"},
    {WM_NCRBUTTONDBLCLK, "WM_NCRBUTTONDBLCLK"},
    {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
};

}  // namespace

const char *buttonMessageName(UINT message) {
  for (const MessageName &entry : BUTTON_MESSAGES) {
    if (entry.message == message) return entry.name;
  }
  return NULL;
}

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

int countReceived(HWND window, UINT message) {
  int count = 0;
  for (const ReceivedMessage &logged : received) {
    if (logged.window == window && logged.message == message) ++count;
  }
  return count;
}

std::string buttonMessagesReceived(HWND window) {
  std::string names;
  for (const ReceivedMessage &logged : received) {
    const char *name = buttonMessageName(logged.message);
    if (logged.window != window || name == NULL) continue;
    if (!names.empty()) names += ", ";
    names += name;
  }
  return names.empty() ? "none" : names;
}

std::string receivedTrace() {
  std::string trace;
  for (const ReceivedMessage &logged : received) {
    const char *name = buttonMessageName(logged.message);
    if (name == NULL && logged.message == WM_MOUSEMOVE) name = "WM_MOUSEMOVE";
    if (name == NULL && logged.message == WM_MOUSEACTIVATE) name = "WM_MOUSEACTIVATE";
    if (name == NULL && logged.message == WM_SYSCOMMAND) name = "WM_SYSCOMMAND";
    if (name == NULL) continue;
    char entry[160];
    snprintf(entry, sizeof entry, "%s%s %s (%ld,%ld)", trace.empty() ? "" : "; ",
             windowTitle(logged.window).c_str(), name, logged.point.x, logged.point.y);
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
