// Windows of programs that declared no DPI awareness, on a scaled display.
// The system virtualises their coordinates: they see the screen at 96 DPI,
// "logical" coordinates, while the screen and every program that declares
// per-monitor awareness work in physical pixels. A message sent to such a
// window carries its points unconverted: "the caller may need information
// based on the DPI awareness of the application associated with the
// window... because the two applications send DPI-dependent information
// between each other directly. In this case, the application can use
// LogicalToPhysicalPointForPerMonitorDPI to get the physical coordinates,
// then use PhysicalToLogicalPointForPerMonitorDPI to convert the physical
// coordinates into logical coordinates based on the DPI awareness of the
// provided HWND." A per-monitor aware program's logical coordinates are
// physical ones. The model keeps one scale per window (100: not scaled).
#include <windows.h>

#include "desktop_state.h"
#include "winsim/control.h"

namespace winsim {

namespace {

int scaleOf(const Window &w) { return w.dpiScalePercent ? w.dpiScalePercent : 100; }

LONG scaled(LONG value, int numerator, int denominator) {
  LONG product = value * numerator;
  LONG half = denominator / 2;
  return (product >= 0 ? product + half : product - half) / denominator;
}

}  // namespace

POINT physicalFromWindowPoint(HWND window, POINT point) {
  Window *w = findWindow(window);
  if (!w) return point;
  int scale = scaleOf(*w);
  return POINT{scaled(point.x, scale, 100), scaled(point.y, scale, 100)};
}

}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI PhysicalToLogicalPointForPerMonitorDPI(HWND window, LPPOINT point) {
  Window *w = findWindow(window);
  if (!w || !point) return FALSE;
  int scale = scaleOf(*w);
  *point = POINT{scaled(point->x, 100, scale), scaled(point->y, 100, scale)};
  return TRUE;
}

int winsimSetWindowDpiScale(HWND window, int percent) {
  Window *w = findWindow(window);
  if (!w || percent < 100) return 0;
  w->dpiScalePercent = percent;
  return 1;
}

}  // extern "C"
