// ShowWindow and the minimised/maximised/normal states, following Wine:
// minimising keeps the activation (the focus goes), SW_MINIMIZE and
// SW_SHOWNOACTIVATE leave the z-order alone, and a window that leaves the
// minimised state takes the focus, which activates it.
#include <windows.h>

#include "desktop_state.h"

namespace winsim {

namespace {

bool isMinimizeCommand(int command) {
  return command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE ||
         command == SW_FORCEMINIMIZE;
}

}  // namespace

bool changeWindowState(Window &w, int command, RECT &rect) {
  if (isMinimizeCommand(command)) {
    if (w.style & WS_MINIMIZE) return false;
    w.restoreToMaximized = (w.style & WS_MAXIMIZE) != 0;
    w.style = (w.style | WS_MINIMIZE) & ~WS_MAXIMIZE;
    rect = minimizedRect(w);
    return true;
  }
  if (command == SW_MAXIMIZE) {
    if ((w.style & WS_MAXIMIZE) && !(w.style & WS_MINIMIZE)) return false;
    w.style = (w.style | WS_MAXIMIZE) & ~WS_MINIMIZE;
    rect = maximizedRect(w);
    return true;
  }
  if (w.style & WS_MINIMIZE) {
    w.style &= ~WS_MINIMIZE;
    if (w.restoreToMaximized) {
      w.style |= WS_MAXIMIZE;
      rect = maximizedRect(w);
      return true;
    }
  } else if (!(w.style & WS_MAXIMIZE)) {
    return false;
  }
  w.style &= ~WS_MAXIMIZE;
  rect = w.normalRect;
  return true;
}

namespace {

void dropFocusFrom(HWND window, bool toParent) {
  HWND focus = currentThread().focusWindow;
  if (!focus || !isInside(focus, window)) return;
  Window *w = findWindow(window);
  HWND parent = (toParent && w && !isTopLevel(*w)) ? handleOf(w->parent) : NULL;
  setFocusWindow(parent);
}

// The SetWindowPos flags for `command`, with the new rectangle in `rect`;
// returns false when ShowWindow has nothing to do.
bool planShow(Window &w, int command, UINT &flags, RECT &rect) {
  bool wasVisible = (w.style & WS_VISIBLE) != 0;
  bool child = (w.style & WS_CHILD) != 0;
  flags = 0;
  switch (command) {
    case SW_HIDE:
      if (!wasVisible) return false;
      flags = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (w.handle != GetActiveWindow() || child) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      return true;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      flags = SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWMINIMIZED: {
      bool wasMinimized = (w.style & WS_MINIMIZE) != 0;
      flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
      if (!changeWindowState(w, command, rect)) flags |= SWP_NOSIZE | SWP_NOMOVE;
      return !(wasMinimized && wasVisible);
    }
    case SW_SHOWMAXIMIZED: {
      bool wasMaximized = (w.style & WS_MAXIMIZE) && !(w.style & WS_MINIMIZE);
      flags = SWP_FRAMECHANGED | (wasVisible ? 0 : SWP_SHOWWINDOW);
      if (!changeWindowState(w, SW_MAXIMIZE, rect)) flags |= SWP_NOSIZE | SWP_NOMOVE;
      return !(wasMaximized && wasVisible);
    }
    case SW_SHOWNA:
      flags =
          SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | (child ? SWP_NOZORDER : 0);
      return true;
    case SW_SHOW:
      if (wasVisible) return false;
      flags = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (child) flags |= SWP_NOZORDER | SWP_NOACTIVATE;
      return true;
    case SW_SHOWNOACTIVATE:
      flags = SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT: {
      flags |= SWP_SHOWWINDOW;
      bool stateChanged = false;
      if (w.style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        flags |= SWP_FRAMECHANGED;
        stateChanged = changeWindowState(w, command, rect);
      } else {
        if (wasVisible) return false;
        flags |= SWP_NOSIZE | SWP_NOMOVE;
      }
      if (child && !stateChanged) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

BOOL showWindow(HWND window, int command) {
  Window *w = findWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  AsThread owningThread(w->threadId);
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool wasMinimized = (w->style & WS_MINIMIZE) != 0;
  if (wasMinimized && !isMinimizeCommand(command) && command != SW_HIDE && command != SW_SHOWNA &&
      command != SW_SHOW && !sendInternal(window, WM_QUERYOPEN, 0, 0))
    return wasVisible;
  if (!(w = findWindow(window))) return wasVisible;
  UINT flags = 0;
  RECT rect = w->rect;
  if (!planShow(*w, command, flags, rect)) return wasVisible;
  bool show = command != SW_HIDE;
  if (show != wasVisible) {
    sendInternal(window, WM_SHOWWINDOW, show, 0);
    if (!(w = findWindow(window))) return wasVisible;
  }
  setWindowPos(window, HWND_TOP, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, flags);
  if (!(w = findWindow(window))) return wasVisible;
  if (command == SW_HIDE) {
    if (window == GetActiveWindow()) activateOtherWindow(window);
    dropFocusFrom(window, true);
  } else if (w->style & WS_MINIMIZE) {
    dropFocusFrom(window, false);
  } else if (wasMinimized) {
    SetFocus(window);
  }
  return wasVisible;
}

void showOwnedPopups(HWND owner, bool show) {
  HWND list[MAX_WINDOWS];
  int count = collectChildren(DESKTOP_INDEX, list, MAX_WINDOWS);
  for (int i = 0; i < count; ++i) {
    Window *w = findWindow(list[i]);
    if (!w || handleOf(w->owner) != owner || !(w->style & WS_POPUP)) continue;
    if (show && w->hiddenByOwner)
      sendInternal(list[i], WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
    else if (!show && (w->style & WS_VISIBLE))
      sendInternal(list[i], WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
  }
}

}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI ShowWindow(HWND window, int command) { return showWindow(window, command); }

}  // extern "C"
