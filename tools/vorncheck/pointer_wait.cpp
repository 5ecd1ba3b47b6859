#include "pointer_wait.h"

#include <windows.h>

int pointerAfterCountDown(int seconds, FILE *console, POINT *point) {
  if (seconds > 0) {
    fprintf(console, "vorncheck: move the pointer over the window to check; reading it in");
    for (int left = seconds; left > 0; --left) {
      fprintf(console, " %d", left);
      fflush(console);
      Sleep(1000);
    }
    fprintf(console, "\n");
    fflush(console);
  }
  return GetCursorPos(point) != FALSE;
}
