// What the system finds at a screen point, as it finds it for a mouse
// message there: the window under the pointer (WindowFromPoint) and the
// area it reports for the point (WM_NCHITTEST). A window that does not
// answer within HIT_TEST_TIMEOUT_MS is not waited for: a hung program must
// not hang vorncheck.
#pragma once

#include <windows.h>

const UINT HIT_TEST_TIMEOUT_MS = 1000;

struct WindowAtPoint {
  POINT point;
  HWND window;   // none when no window is there
  int answered;  // 1 when the window answered WM_NCHITTEST in time
  int hitTest;   // its answer: an HT code
};

void lookAtPoint(POINT point, WindowAtPoint *found);
