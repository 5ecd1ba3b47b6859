#include "windows/topmost.h"

#include <windows.h>

#include "windows/navigation.h"

void toggleTopmost(HWND window) {
  HWND root = rootParent(window);
  if (root == NULL) return;
  HWND band = (windowExStyle(root) & WS_EX_TOPMOST) ? HWND_NOTOPMOST : HWND_TOPMOST;
  SetWindowPos(root, band, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}
