#include "window_at_point.h"

#include <windows.h>

namespace {

typedef BOOL(WINAPI *PointConversion)(HWND window, LPPOINT point);

// vorncheck declares per-monitor DPI awareness: its points are physical
// pixels. A program that declared less sees a scaled display in scaled
// ("logical") coordinates, and the point of a WM_NCHITTEST sent to it is
// read in those: it is converted for the window first. The conversion
// exists from Windows 8.1 on, looked up at run time; where it is missing
// the point is sent as it is.
POINT pointForWindow(HWND window, POINT point) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return point;
  PointConversion toWindow =
      (PointConversion)(void *)GetProcAddress(user32, "PhysicalToLogicalPointForPerMonitorDPI");
  POINT converted = point;
  if (toWindow && toWindow(window, &converted)) return converted;
  return point;
}

}  // namespace

void lookAtPoint(POINT point, WindowAtPoint *found) {
  found->point = point;
  found->window = WindowFromPoint(point);
  found->answered = 0;
  found->hitTest = HTNOWHERE;
  if (found->window == NULL) return;
  POINT asked = pointForWindow(found->window, point);
  DWORD_PTR answer = 0;
  // SMTO_ABORTIFHUNG: a window the system already knows to be hung is not
  // waited for at all.
  if (SendMessageTimeoutA(found->window, WM_NCHITTEST, 0, MAKELPARAM(asked.x, asked.y),
                          SMTO_BLOCK | SMTO_ABORTIFHUNG, HIT_TEST_TIMEOUT_MS, &answer)) {
    found->answered = 1;
    found->hitTest = (int)(LRESULT)answer;
  }
}
