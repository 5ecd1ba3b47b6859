#include "control_window.h"

#include <windows.h>

#include "process_trust.h"
#include "vorn.h"

namespace {

// "Unhooking failed", in Japanese and beneath it in English, as Unicode:
// code-page bytes would read as Japanese on Japanese systems alone.
const WCHAR unhookFailedText[] = L"\u30d5\u30c3\u30af\u89e3\u9664\u5931\u6557\nUnhooking failed.";
const WCHAR unhookFailedCaption[] = L"Error";

void reload() {
  _MyEndHook();
  _MySetHook();
  announce();
}

// Removes the hooks and destroys the window; a hook that cannot be removed
// is reported and keeps the program running, so that a later close can
// try again.
void close(HWND window) {
  if (_IsHooking()) {
    if (_MyEndHook()) {
      MessageBoxW(window, unhookFailedText, unhookFailedCaption, MB_OK);
      return;
    }
    announce();
  }
  DestroyWindow(window);
}

}  // namespace

void announce(void) {
  // A program that hangs would hold a plain SendMessageA, and the daemon
  // with it, for ever: hung windows are skipped, slow ones given a while.
  SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_ABORTIFHUNG,
                      ANNOUNCE_TIMEOUT_MS, NULL);
  // Any program can make a window of that class: only one of the user's
  // own programs, not sandboxed, is brought forward.
  HWND companion = NULL;
  while ((companion = FindWindowExA(NULL, companion, "PrxTronCls", NULL)) != NULL) {
    if (mayTakeForeground(companion)) {
      SetForegroundWindow(companion);
      return;
    }
  }
}

LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      _MySetHook();
      announce();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == VORN_COMMAND_RELOAD) reload();
      return 0;
    case WM_CLOSE:
      close(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

ATOM registerControlClass(HINSTANCE instance) {
  WNDCLASSA windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = controlWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = NULL;
  windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
  windowClass.lpszMenuName = NULL;
  windowClass.lpszClassName = VORN_CONTROL_CLASS;
  return RegisterClassA(&windowClass);
}

HWND createControlWindow(HINSTANCE instance) {
  return CreateWindowExA(0, VORN_CONTROL_CLASS, VORN_CONTROL_TITLE, WS_POPUP | WS_CAPTION,
                         CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, NULL, NULL, instance, NULL);
}

HWND findControlWindow(void) {
  char image[MAX_PATH];
  if (!processImagePath(GetCurrentProcess(), image, sizeof image)) image[0] = '\0';
  return findProgramWindow(VORN_CONTROL_CLASS, VORN_CONTROL_TITLE, image);
}
