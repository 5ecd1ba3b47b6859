// Where to click: a point of a window that is not covered by any other
// window and that the window itself reports, when asked with WM_NCHITTEST,
// as the wanted area (caption, client area, ...). Through the Win32 API
// alone, for the unit tests and the end-to-end programs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace vorntest {

namespace window_points {

// Samples per side of the area searched.
const int GRID = 24;

// Where to look: the client rectangle for the client area, the band above
// it for the caption, the whole window for anything else.
inline RECT searchArea(HWND window, LRESULT hitTest) {
  RECT area = {0, 0, 0, 0};
  RECT client = {0, 0, 0, 0};
  GetWindowRect(window, &area);
  GetClientRect(window, &client);
  MapWindowPoints(window, NULL, (POINT *)&client, 2);
  if (hitTest == HTCLIENT) return client;
  if (hitTest == HTCAPTION) area.bottom = client.top;
  return area;
}

inline long long squaredDistance(POINT a, POINT b) {
  long long dx = a.x - b.x, dy = a.y - b.y;
  return dx * dx + dy * dy;
}

// Sample points of `area`, the middle ones first.
inline std::vector<POINT> samplesFromTheMiddle(const RECT &area) {
  int stepX = std::max(1, (int)(area.right - area.left) / GRID);
  int stepY = std::max(1, (int)(area.bottom - area.top) / GRID);
  std::vector<POINT> samples;
  for (int y = area.top; y < area.bottom; y += stepY) {
    for (int x = area.left; x < area.right; x += stepX) samples.push_back({x, y});
  }
  POINT middle = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  std::stable_sort(samples.begin(), samples.end(), [&](POINT a, POINT b) {
    return squaredDistance(a, middle) < squaredDistance(b, middle);
  });
  return samples;
}

inline bool answersWith(HWND window, LRESULT hitTest, POINT point) {
  return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) == hitTest;
}

}  // namespace window_points

// A point of `window` with hit-test code `hitTest` that WindowFromPoint
// gives to `window`, near the middle of that visible area. False when
// there is none.
inline bool findVisiblePoint(HWND window, LRESULT hitTest, POINT *point) {
  using namespace window_points;
  for (const POINT &candidate : samplesFromTheMiddle(searchArea(window, hitTest))) {
    if (!answersWith(window, hitTest, candidate)) continue;
    if (WindowFromPoint(candidate) != window) continue;
    *point = candidate;
    return true;
  }
  return false;
}

}  // namespace vorntest
