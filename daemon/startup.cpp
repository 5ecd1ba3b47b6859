#include "startup.h"

#include <windows.h>

#include "companion.h"
#include "control_window.h"
#include "elevation_guard.h"
#include "instance_lock.h"

namespace {

int runMessageLoop() {
  MSG message;
  message.wParam = 0;
  // GetMessageA answers -1 on failure: that ends the loop too, rather than
  // spinning on it.
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}

}  // namespace

int isStopCommand(int argc, char **argv) {
  return argc == 2 && lstrcmpA(argv[1], "--stop") == 0;
}

int signalRunningInstance(int argc, char **argv) {
  if (isStopCommand(argc, argv)) {
    HWND running = findControlWindow();
    if (running) PostMessageA(running, WM_CLOSE, 0, 0);
    return 1;
  }
  if (takeInstanceLock()) return 0;
  // The running instance may still be making its window: then it reads
  // the current file anyway, and there is nothing to signal.
  HWND running = findControlWindow();
  if (running) PostMessageA(running, WM_COMMAND, VORN_COMMAND_RELOAD, 0);
  return 1;
}

int vorndMain(HINSTANCE instance, int argc, char **argv) {
  // Before anything is run or started from this folder.
  if (refusesToRunElevatedHere()) return 0;
  // The companion is told first: a first instance of this daemon does not
  // come back from its message loop.
  startCompanion();
  if (signalRunningInstance(argc, argv)) return 0;
  int exitCode = 0;
  if (registerControlClass(instance) && createControlWindow(instance)) exitCode = runMessageLoop();
  releaseInstanceLock();
  return exitCode;
}
