#include "window_at_point.h"

#include <windows.h>

void lookAtPoint(POINT point, WindowAtPoint *found) {
  found->point = point;
  found->window = WindowFromPoint(point);
  found->answered = 0;
  found->hitTest = HTNOWHERE;
  if (found->window == NULL) return;
  DWORD_PTR answer = 0;
  // SMTO_ABORTIFHUNG: a window the system already knows to be hung is not
  // waited for at all.
  if (SendMessageTimeoutA(found->window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y),
                          SMTO_BLOCK | SMTO_ABORTIFHUNG, HIT_TEST_TIMEOUT_MS, &answer)) {
    found->answered = 1;
    found->hitTest = (int)(LRESULT)answer;
  }
}
