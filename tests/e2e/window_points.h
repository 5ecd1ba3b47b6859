// Where to click: a point of a window that is not covered by any other
// window and that the window itself reports, when asked with WM_NCHITTEST,
// as the wanted area (caption, client area, ...).
#pragma once

#include <windows.h>

namespace e2e {

// A point of `window` with hit-test code `hitTest` that WindowFromPoint
// gives to `window`, near the middle of that visible area. False when
// there is none.
bool findVisiblePoint(HWND window, LRESULT hitTest, POINT *point);

}  // namespace e2e
