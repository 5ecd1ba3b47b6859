// DefWindowProcA: the default handling that the simulated desktop relies
// on: window text, closing, system commands, mouse activation, hit-tests,
// focus on activation, WM_SIZE/WM_MOVE after a move, owned popups hidden
// and shown with their owner, and the caption double click.
#include <windows.h>

#include <string.h>

#include "desktop_state.h"

namespace winsim {

namespace {

void setText(Window &w, LPCSTR text) {
  w.text[0] = '\0';
  if (text && ((uintptr_t)text >> 16)) strncat(w.text, text, TEXT_CAPACITY - 1);
}

LRESULT systemCommand(HWND window, WPARAM command) {
  bool active = window == GetActiveWindow();
  switch (command & 0xFFF0) {
    case SC_MINIMIZE:
      if (active) showOwnedPopups(window, false);
      showWindow(window, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      if (IsIconic(window) && active) showOwnedPopups(window, true);
      showWindow(window, SW_MAXIMIZE);
      break;
    case SC_RESTORE:
      if (IsIconic(window) && active) showOwnedPopups(window, true);
      showWindow(window, SW_RESTORE);
      break;
    case SC_CLOSE:
      sendInternal(window, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT mouseActivate(const Window &w, WPARAM wParam, LPARAM lParam) {
  if (w.style & WS_CHILD) {
    LRESULT answer = sendInternal(handleOf(w.parent), WM_MOUSEACTIVATE, wParam, lParam);
    if (answer) return answer;
  }
  return MA_ACTIVATE;
}

void sendMoveAndSize(HWND window, const WINDOWPOS *pos) {
  Window *w = findWindow(window);
  if (!w || !pos) return;
  bool frameChanged = (pos->flags & SWP_FRAMECHANGED) != 0;
  RECT insets = frameInsets(w->style, w->exStyle);
  bool minimized = (w->style & WS_MINIMIZE) != 0;
  if (!(pos->flags & SWP_NOMOVE) || frameChanged) {
    int x = w->rect.left + (minimized ? 0 : insets.left);
    int y = w->rect.top + (minimized ? 0 : insets.top);
    sendInternal(window, WM_MOVE, 0, MAKELPARAM(x, y));
  }
  if (!(w = findWindow(window))) return;
  if (!(pos->flags & SWP_NOSIZE) || frameChanged) {
    RECT client = clientRectOf(*w);
    WPARAM kind = minimized                  ? SIZE_MINIMIZED
                  : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                             : SIZE_RESTORED;
    sendInternal(window, WM_SIZE, kind, MAKELPARAM(client.right, client.bottom));
  }
}

// An owner hiding or showing its popups (SW_PARENTCLOSING/OPENING): the
// popup hides, and shows again only if it was hidden this way.
LRESULT showForOwner(Window &w, WPARAM show, LPARAM reason) {
  if (!reason || w.owner == NO_WINDOW) return 0;
  bool visible = (w.style & WS_VISIBLE) != 0;
  if (visible == (show != 0)) return 0;
  if (show) {
    if (!w.hiddenByOwner) return 0;
    w.hiddenByOwner = false;
  } else {
    w.hiddenByOwner = true;
  }
  showWindow(w.handle, show ? SW_SHOWNOACTIVATE : SW_HIDE);
  return 0;
}

LRESULT captionDoubleClick(const Window &w, WPARAM hit, LPARAM lParam) {
  if (hit != HTCAPTION) return 0;
  if (w.style & WS_MINIMIZE)
    sendInternal(w.handle, WM_SYSCOMMAND, SC_RESTORE, lParam);
  else if (w.style & WS_MAXIMIZEBOX)
    sendInternal(w.handle, WM_SYSCOMMAND, (w.style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE,
                 lParam);
  return 0;
}

}  // namespace

}  // namespace winsim

using namespace winsim;

extern "C" {

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(window);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE: {
      const CREATESTRUCTA *create = (const CREATESTRUCTA *)lParam;
      if (create) setText(*w, create->lpszName);
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      return systemCommand(window, wParam);
    case WM_MOUSEACTIVATE:
      return mouseActivate(*w, wParam, lParam);
    case WM_NCHITTEST:
      // The point is read in the window's own coordinates.
      return hitTest(
          window, physicalFromWindowPoint(window, {(short)LOWORD(lParam), (short)HIWORD(lParam)}));
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(window);
      return 0;
    case WM_SETTEXT:
      setText(*w, (LPCSTR)lParam);
      return TRUE;
    case WM_GETTEXT: {
      if (!lParam || wParam == 0) return 0;
      LPSTR buffer = (LPSTR)lParam;
      buffer[0] = '\0';
      strncat(buffer, w->text, wParam - 1);
      return (LRESULT)strlen(buffer);
    }
    case WM_GETTEXTLENGTH:
      return (LRESULT)strlen(w->text);
    case WM_NCACTIVATE:
      return TRUE;
    case WM_QUERYOPEN:
      return TRUE;
    case WM_WINDOWPOSCHANGED:
      sendMoveAndSize(window, (const WINDOWPOS *)lParam);
      return 0;
    case WM_SHOWWINDOW:
      return showForOwner(*w, wParam, lParam);
    case WM_NCLBUTTONDBLCLK:
      return captionDoubleClick(*w, wParam, lParam);
    default:
      return 0;
  }
}

}  // extern "C"
