#include "window_class.h"

namespace e2e {

namespace {

bool isClientMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

}  // namespace

void registerPlainWindowClass(const char *name, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HWND createMarkerWindowAt(const char *className, const char *title, POINT corner) {
  HWND marker = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, className,
                                title, WS_POPUP, corner.x, corner.y, MARKER_WINDOW_SIZE,
                                MARKER_WINDOW_SIZE, NULL, NULL, GetModuleHandleA(NULL), NULL);
  if (marker) ShowWindow(marker, SW_SHOWNOACTIVATE);
  return marker;
}

bool isMouseMessage(UINT message) {
  bool nonClient = message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK;
  return isClientMouseMessage(message) || nonClient;
}

// Client mouse messages carry client coordinates, except the wheel's,
// which like the non-client ones are on the screen.
POINT screenPointOf(HWND window, UINT message, LPARAM lParam) {
  POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
  if (isClientMouseMessage(message) && message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) {
    ClientToScreen(window, &point);
  }
  return point;
}

}  // namespace e2e
