#include "windows/system_commands.h"

#include <windows.h>

#include "windows/navigation.h"

namespace {

// Minimising a window whose root is a popup, hidden or disabled would strand
// a dialog or hide something the user cannot bring back from the taskbar.
int rootAllowsMinimize(HWND window) {
  return (windowStyle(rootParent(window)) & (WS_POPUP | WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

// Posted to none, a command would become a message to whichever thread
// runs the hook.
void postSystemCommand(HWND window, WPARAM command) {
  if (window == NULL) return;
  PostMessageA(window, WM_SYSCOMMAND, command, 0);
}

}  // namespace

void minimizeIfAllowed(HWND window) {
  if (!rootAllowsMinimize(window)) return;
  if (windowExStyle(window) & WS_EX_TOOLWINDOW) return;
  postSystemCommand(window, SC_MINIMIZE);
}

void toggleMaximize(HWND window) {
  DWORD style = windowStyle(window);
  if (style & WS_MAXIMIZE) {
    postSystemCommand(window, SC_RESTORE);
  } else if (!(style & WS_POPUP)) {
    postSystemCommand(window, SC_MAXIMIZE);
  }
}

void closeWindow(HWND window) { postSystemCommand(rootParent(window), SC_CLOSE); }
