#include "startup.h"

#include <windows.h>

#include "companion.h"
#include "configuration_watch.h"
#include "control_window.h"
#include "elevation_guard.h"
#include "instance_lock.h"

namespace {

int runPlainMessageLoop() {
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

// Handles every message waiting. 0, with the exit code, once WM_QUIT came.
int dispatchWaitingMessages(int *exitCode) {
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      *exitCode = (int)message.wParam;
      return 0;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 1;
}

void postToRunningInstance(UINT message, WPARAM wParam) {
  HWND running = findControlWindow();
  if (running) PostMessageA(running, message, wParam, 0);
}

}  // namespace

DaemonCommand daemonCommand(int argc, char **argv) {
  if (argc != 2) return COMMAND_START;
  if (lstrcmpA(argv[1], "--stop") == 0) return COMMAND_STOP;
  if (lstrcmpA(argv[1], "--pause") == 0) return COMMAND_PAUSE;
  if (lstrcmpA(argv[1], "--resume") == 0) return COMMAND_RESUME;
  return COMMAND_START;
}

int isStopCommand(int argc, char **argv) { return daemonCommand(argc, argv) == COMMAND_STOP; }

int signalRunningInstance(int argc, char **argv) {
  DaemonCommand command = daemonCommand(argc, argv);
  if (command == COMMAND_STOP) {
    postToRunningInstance(WM_CLOSE, 0);
    return 1;
  }
  if (command == COMMAND_PAUSE) {
    postToRunningInstance(WM_COMMAND, VORN_COMMAND_PAUSE);
    return 1;
  }
  if (takeInstanceLock()) return 0;
  // The running instance may still be making its window: then it reads
  // the current file anyway, and there is nothing to signal.
  postToRunningInstance(WM_COMMAND,
                        command == COMMAND_RESUME ? VORN_COMMAND_RESUME : VORN_COMMAND_RELOAD);
  return 1;
}

// The one thread waits for messages and for the watched folder at once.
// The mouse hooks that run on this thread for programs of the other
// bitness arrive as sent messages (QS_SENDMESSAGE, part of QS_ALLINPUT) and
// are answered by the PeekMessageA that follows. Should the wait itself
// fail, the watch is given up and the loop is the plain one it was.
int runMessageLoop(HWND window) {
  for (;;) {
    HANDLE watch = watchHandle();
    DWORD count = watch ? 1 : 0;
    DWORD woke = MsgWaitForMultipleObjects(count, &watch, FALSE, watchTimeout(), QS_ALLINPUT);
    int exitCode = 0;
    if (woke == WAIT_OBJECT_0 + count) {
      if (!dispatchWaitingMessages(&exitCode)) return exitCode;
    } else if (count && woke == WAIT_OBJECT_0) {
      folderChanged();
    } else if (woke == WAIT_TIMEOUT) {
      reloadIfFileChanged(window);
    } else {
      stopWatching();
      return runPlainMessageLoop();
    }
  }
}

int vorndMain(HINSTANCE instance, int argc, char **argv) {
  // Before anything is run or started from this folder.
  if (refusesToRunElevatedHere()) return 0;
  // The companion is told first: a first instance of this daemon does not
  // come back from its message loop.
  startCompanion();
  if (signalRunningInstance(argc, argv)) return 0;
  int exitCode = 0;
  if (registerControlClass(instance)) {
    HWND window = createControlWindow(instance);
    if (window) exitCode = runMessageLoop(window);
  }
  releaseInstanceLock();
  return exitCode;
}
