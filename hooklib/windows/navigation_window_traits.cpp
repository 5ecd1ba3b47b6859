// The three facts about a window that navigation looks at. A window that
// has gone away reads as style 0 and an empty rectangle, so it passes no
// test.
#include "windows/navigation.h"

#include <windows.h>

DWORD windowStyle(HWND window) { return (DWORD)GetWindowLongA(window, GWL_STYLE); }

DWORD windowExStyle(HWND window) { return (DWORD)GetWindowLongA(window, GWL_EXSTYLE); }

int hasNonEmptyRect(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return !IsRectEmpty(&rect);
}
