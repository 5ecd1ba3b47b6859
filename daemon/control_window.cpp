#include "control_window.h"

#include <windows.h>

#include "companion.h"
#include "configuration_watch.h"
#include "pause_key.h"
#include "process_trust.h"
#include "vorn.h"

namespace {

// "Unhooking failed", in Japanese and beneath it in English, as Unicode:
// code-page bytes would read as Japanese on Japanese systems alone.
const WCHAR unhookFailedText[] = L"\u30d5\u30c3\u30af\u89e3\u9664\u5931\u6557\nUnhooking failed.";
const WCHAR unhookFailedCaption[] = L"Error";

void setPaused(HWND window, int paused) {
  if (paused) {
    SetPropA(window, VORN_PAUSED_PROPERTY, (HANDLE)1);
  } else {
    RemovePropA(window, VORN_PAUSED_PROPERTY);
  }
}

// A start and a reload load the file (noting what it held, and watching
// it afterwards), install the hooks and end a pause.
void install(HWND window) {
  noteFileBeforeLoad();
  _MySetHook();
  watchLoadedFile();
  registerPauseKey(window, _MyIniPath());
  setPaused(window, 0);
  announce();
}

// The whole sequence of a second start, whatever asked for it: the hooks
// and the image go first, so that a file without the activation option
// leaves that hook removed, and a file that is gone leaves no image.
void reload(HWND window) {
  _MyEndHook();
  install(window);
}

void pause(HWND window) {
  if (isPaused(window) && !_IsHooking()) return;
  _MyEndHook();
  setPaused(window, 1);
  announce();
}

void resume(HWND window) {
  if (isPaused(window)) reload(window);
}

// The pause key: this daemon pauses or resumes, and tells its companion to
// do the same (not to toggle: both then end in the same state).
void togglePause(HWND window) {
  int pausing = !isPaused(window);
  if (pausing) {
    pause(window);
  } else {
    resume(window);
  }
  HWND companion = findCompanionWindow();
  if (companion) {
    PostMessageA(companion, WM_COMMAND, pausing ? VORN_COMMAND_PAUSE : VORN_COMMAND_RESUME, 0);
  }
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
  stopWatching();
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

int isPaused(HWND window) { return GetPropA(window, VORN_PAUSED_PROPERTY) != NULL; }

void reloadIfFileChanged(HWND window) {
  if (fileChangedSinceLoad() && !isPaused(window)) reload(window);
}

LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      install(window);
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case VORN_COMMAND_RELOAD:
          reload(window);
          break;
        case VORN_COMMAND_PAUSE:
          pause(window);
          break;
        case VORN_COMMAND_RESUME:
          resume(window);
          break;
      }
      return 0;
    case WM_HOTKEY:
      if (wParam == PAUSE_KEY_ID) togglePause(window);
      return 0;
    case WM_CLOSE:
      close(window);
      return 0;
    case WM_DESTROY:
      unregisterPauseKey(window);
      RemovePropA(window, VORN_PAUSED_PROPERTY);
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
