// Window and client rectangles, the non-client frame and hit-testing, with
// the metrics and rules of Wine's non-client code, so that rectangles and
// hit-test codes come out as they do under Wine.
#include <windows.h>

#include "desktop_state.h"

namespace winsim {

namespace {

constexpr DWORD EX_STATICEDGE = 0x00020000;

int metric(int index) { return desktop().systemMetrics[index]; }

bool hasThickFrame(DWORD style) {
  return (style & WS_THICKFRAME) && (style & (WS_DLGFRAME | WS_BORDER)) != WS_DLGFRAME;
}

bool hasDialogFrame(DWORD style, DWORD exStyle) {
  return (exStyle & WS_EX_DLGMODALFRAME) || ((style & WS_DLGFRAME) && !(style & WS_THICKFRAME));
}

bool hasThinFrame(DWORD style) { return (style & WS_BORDER) || !(style & (WS_CHILD | WS_POPUP)); }

int outerFrameWidth(DWORD style, DWORD exStyle) {
  int adjust = 0;
  if ((exStyle & (EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == EX_STATICEDGE)
    adjust = 1;
  else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
    adjust = 2;
  if (style & WS_THICKFRAME) adjust += metric(SM_CXFRAME) - metric(SM_CXDLGFRAME);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) ++adjust;
  return adjust;
}

RECT offsetRect(RECT r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool contains(const RECT &r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT inflated(RECT r, int dx, int dy) {
  return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

LRESULT captionHitTest(RECT rect, POINT pt, DWORD style, DWORD exStyle) {
  bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
  bool minOrMaxBox = (style & WS_SYSMENU) && (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  if ((style & WS_SYSMENU) && !tool) {
    rect.left += metric(SM_CYCAPTION) - 1;
    if (pt.x < rect.left) return HTSYSMENU;
  }
  if (style & WS_SYSMENU) rect.right -= metric(SM_CYCAPTION);
  if (pt.x > rect.right) return HTCLOSE;
  if (minOrMaxBox && !tool) rect.right -= metric(SM_CXSIZE);
  if (pt.x > rect.right) return HTMAXBUTTON;
  if (minOrMaxBox && !tool) rect.right -= metric(SM_CXSIZE);
  if (pt.x > rect.right) return HTMINBUTTON;
  return HTCAPTION;
}

LRESULT sizingBorderHitTest(const RECT &inner, POINT pt) {
  int cornerX = metric(SM_CXSIZE);
  int cornerY = metric(SM_CYSIZE);
  if (pt.y < inner.top) {
    if (pt.x < inner.left + cornerX) return HTTOPLEFT;
    if (pt.x >= inner.right - cornerX) return HTTOPRIGHT;
    return HTTOP;
  }
  if (pt.y >= inner.bottom) {
    if (pt.x < inner.left + cornerX) return HTBOTTOMLEFT;
    if (pt.x >= inner.right - cornerX) return HTBOTTOMRIGHT;
    return HTBOTTOM;
  }
  if (pt.x < inner.left) {
    if (pt.y < inner.top + cornerY) return HTTOPLEFT;
    if (pt.y >= inner.bottom - cornerY) return HTBOTTOMLEFT;
    return HTLEFT;
  }
  if (pt.y < inner.top + cornerY) return HTTOPRIGHT;
  if (pt.y >= inner.bottom - cornerY) return HTBOTTOMRIGHT;
  return HTRIGHT;
}

LRESULT scrollBarHitTest(RECT client, POINT pt, DWORD style) {
  if (style & WS_VSCROLL) {
    client.right += metric(SM_CXVSCROLL);
    if (contains(client, pt)) return HTVSCROLL;
  }
  if (style & WS_HSCROLL) {
    client.bottom += metric(SM_CYHSCROLL);
    if (contains(client, pt)) {
      if ((style & WS_VSCROLL) && pt.x >= client.right - metric(SM_CXVSCROLL)) return HTGROWBOX;
      return HTHSCROLL;
    }
  }
  return HTNOWHERE;
}

RECT parentClientArea(const Window &window) {
  if (isTopLevel(window)) return {0, 0, metric(SM_CXSCREEN), metric(SM_CYSCREEN)};
  return clientRectOf(windowAt(window.parent));
}

bool overlaps(const RECT &a, const RECT &b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool slotTaken(const Window &window, const RECT &slot) {
  for (int i = windowAt(window.parent).firstChild; i != NO_WINDOW; i = windowAt(i).next) {
    const Window &sibling = windowAt(i);
    if (&sibling == &window || !(sibling.style & WS_MINIMIZE) || !(sibling.style & WS_VISIBLE))
      continue;
    if (overlaps(sibling.rect, slot)) return true;
  }
  return false;
}

}  // namespace

RECT frameInsets(DWORD style, DWORD exStyle) {
  int outer = outerFrameWidth(style, exStyle);
  RECT insets = {outer, outer, outer, outer};
  if ((style & WS_CAPTION) == WS_CAPTION)
    insets.top += metric((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (exStyle & WS_EX_CLIENTEDGE) {
    insets.left += metric(SM_CXEDGE);
    insets.right += metric(SM_CXEDGE);
    insets.top += metric(SM_CYEDGE);
    insets.bottom += metric(SM_CYEDGE);
  }
  if (style & WS_VSCROLL) insets.right += metric(SM_CXVSCROLL);
  if (style & WS_HSCROLL) insets.bottom += metric(SM_CYHSCROLL);
  return insets;
}

POINT clientOriginOf(int index) {
  if (index == DESKTOP_INDEX || index == NO_WINDOW) return {0, 0};
  const Window &w = windowAt(index);
  RECT screen = screenRectOf(w);
  RECT insets = frameInsets(w.style, w.exStyle);
  return {screen.left + insets.left, screen.top + insets.top};
}

RECT screenRectOf(const Window &window) {
  if (indexOf(window) == DESKTOP_INDEX) return window.rect;
  POINT origin = clientOriginOf(window.parent);
  return offsetRect(window.rect, origin.x, origin.y);
}

RECT clientRectOf(const Window &window) {
  if (indexOf(window) == DESKTOP_INDEX) return window.rect;
  if (window.style & WS_MINIMIZE) return {0, 0, 0, 0};
  RECT insets = frameInsets(window.style, window.exStyle);
  int width = (window.rect.right - window.rect.left) - insets.left - insets.right;
  int height = (window.rect.bottom - window.rect.top) - insets.top - insets.bottom;
  return {0, 0, width > 0 ? width : 0, height > 0 ? height : 0};
}

LRESULT hitTest(HWND handle, POINT pt) {
  Window *w = findWindow(handle);
  if (!w) return HTNOWHERE;
  RECT rect = screenRectOf(*w);
  if (!contains(rect, pt)) return HTNOWHERE;
  POINT origin = clientOriginOf(indexOf(*w));
  RECT client = offsetRect(clientRectOf(*w), origin.x, origin.y);
  if (contains(client, pt)) return HTCLIENT;
  DWORD style = w->style, exStyle = w->exStyle;
  if (hasThickFrame(style)) {
    rect = inflated(rect, -metric(SM_CXFRAME), -metric(SM_CYFRAME));
    if (!contains(rect, pt)) return sizingBorderHitTest(rect, pt);
  } else {
    if (hasDialogFrame(style, exStyle))
      rect = inflated(rect, -metric(SM_CXDLGFRAME), -metric(SM_CYDLGFRAME));
    else if (hasThinFrame(style))
      rect = inflated(rect, -metric(SM_CXBORDER), -metric(SM_CYBORDER));
    if (!contains(rect, pt)) return HTBORDER;
  }
  if ((style & WS_CAPTION) == WS_CAPTION) {
    rect.top += metric((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
    if (!contains(rect, pt)) return captionHitTest(rect, pt, style, exStyle);
  }
  return scrollBarHitTest(client, pt, style);
}

// Top-level windows cover the screen with their side frame outside it;
// MDI children cover their client window with the whole frame outside.
RECT maximizedRect(const Window &window) {
  RECT area = parentClientArea(window);
  RECT insets = frameInsets(window.style & ~WS_MINIMIZE, window.exStyle);
  if (isTopLevel(window)) {
    int side = outerFrameWidth(window.style, window.exStyle);
    return inflated(area, side, side);
  }
  return {area.left - insets.left, area.top - insets.top, area.right + insets.right,
          area.bottom + insets.bottom};
}

// Minimised windows line up along the bottom of their parent's client
// area, from the left, in the first free slot.
RECT minimizedRect(const Window &window) {
  RECT area = parentClientArea(window);
  int width = metric(SM_CXMINIMIZED), height = metric(SM_CYMINIMIZED);
  for (int row = 0;; ++row) {
    int top = area.bottom - height * (row + 1);
    for (int left = area.left; left + width <= area.right || left == area.left; left += width) {
      RECT slot = {left, top, left + width, top + height};
      if (!slotTaken(window, slot) || top < area.top) return slot;
    }
  }
}

}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
  Window *w = findWindowOrDesktop(window);
  if (!w || !rect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = screenRectOf(*w);
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
  Window *w = findWindowOrDesktop(window);
  if (!w || !rect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = clientRectOf(*w);
  return TRUE;
}

// From the client coordinates of `from` to those of `to` (none: the
// screen); the result's low word is the horizontal shift, the high word
// the vertical one.
int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  Window *source = from ? findWindowOrDesktop(from) : &windowAt(DESKTOP_INDEX);
  Window *target = to ? findWindowOrDesktop(to) : &windowAt(DESKTOP_INDEX);
  if (!source || !target) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  POINT a = clientOriginOf(indexOf(*source));
  POINT b = clientOriginOf(indexOf(*target));
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(dx, dy);
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
  return setWindowPos(window, HWND_TOP, x, y, width, height, flags);
}

BOOL WINAPI IsRectEmpty(const RECT *rect) {
  return !rect || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  rect->left = left;
  rect->top = top;
  rect->right = right;
  rect->bottom = bottom;
  return TRUE;
}

}  // extern "C"
