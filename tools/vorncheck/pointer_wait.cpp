#include "pointer_wait.h"

#include <windows.h>

#include "console_text.h"

int pointerAfterCountDown(int seconds, FILE *console, POINT *point) {
  if (seconds > 0) {
    consolePrintf(console, "vorncheck: move the pointer over the window to check; reading it in");
    for (int left = seconds; left > 0; --left) {
      consolePrintf(console, " %d", left);
      fflush(console);
      Sleep(1000);
    }
    consolePrintf(console, "\n");
    fflush(console);
  }
  return GetCursorPos(point) != FALSE;
}
