// Sibling lists and SetWindowPos. Every parent keeps its children in one
// list, highest first; for the desktop's children the topmost windows form
// a band at the head of the list. Where a window lands, and when it gains
// or loses WS_EX_TOPMOST, follows Wine's window server: HWND_BOTTOM and an
// insert-after window below the band clear the bit, an insert-after window
// inside the band sets it, and an owned window follows its owner into the
// band.
#include <windows.h>

#include "desktop_state.h"
#include "records.h"

namespace winsim {

namespace {

bool isLinked(const Window &w) {
  return w.prev != NO_WINDOW || windowAt(w.parent).firstChild == indexOf(w);
}

void insertBefore(Window &w, int before) {
  Window &parent = windowAt(w.parent);
  int index = indexOf(w);
  w.next = before;
  w.prev = before == NO_WINDOW ? parent.lastChild : windowAt(before).prev;
  if (w.prev == NO_WINDOW)
    parent.firstChild = index;
  else
    windowAt(w.prev).next = index;
  if (before == NO_WINDOW)
    parent.lastChild = index;
  else
    windowAt(before).prev = index;
}

bool isTopmost(HWND window) {
  Window *w = findWindow(window);
  return w && (w->exStyle & WS_EX_TOPMOST);
}

HWND ownerOf(HWND window) {
  Window *w = findWindow(window);
  return w ? handleOf(w->owner) : NULL;
}

void linkAtTop(Window &w) {
  int entry = windowAt(w.parent).firstChild;
  if (!(w.exStyle & WS_EX_TOPMOST)) {
    for (; entry != NO_WINDOW; entry = windowAt(entry).next) {
      const Window &e = windowAt(entry);
      if (!(e.exStyle & WS_EX_TOPMOST)) break;
      if (e.handle == handleOf(w.owner)) {
        w.exStyle |= WS_EX_TOPMOST;
        break;
      }
    }
  }
  insertBefore(w, entry);
}

void linkAfter(Window &w, Window &previous) {
  insertBefore(w, previous.next);
  if (!(previous.exStyle & WS_EX_TOPMOST))
    w.exStyle &= ~WS_EX_TOPMOST;
  else if (w.next != NO_WINDOW && (windowAt(w.next).exStyle & WS_EX_TOPMOST))
    w.exStyle |= WS_EX_TOPMOST;
}

// The insert-after window for `w` once its owner and its owned windows are
// taken care of: an owned window stays above its owner, and the windows
// `w` owns are moved just above it first. Moving them runs their window
// procedures, which may destroy `w`: the caller looks it up again.
HWND placeOwnedWindows(Window &w, HWND insertAfter) {
  if (w.style & WS_CHILD) return insertAfter;
  HWND self = w.handle;
  HWND list[MAX_WINDOWS];
  int count = collectChildren(DESKTOP_INDEX, list, MAX_WINDOWS);
  HWND owner = handleOf(w.owner);
  if (owner && insertAfter != HWND_TOPMOST) {
    for (int i = 0; i < count; ++i) {
      bool topmost = isTopmost(list[i]);
      if (list[i] == owner) {
        insertAfter = i > 0 ? list[i - 1] : (topmost ? HWND_TOPMOST : HWND_TOP);
        break;
      }
      if (insertAfter == HWND_TOP || insertAfter == HWND_NOTOPMOST) {
        if (!topmost) break;
      } else if (list[i] == insertAfter) {
        break;
      }
    }
  }
  if (insertAfter == HWND_BOTTOM) return insertAfter;
  int i = 0;
  if (insertAfter == HWND_TOP || insertAfter == HWND_NOTOPMOST) {
    if (insertAfter == HWND_NOTOPMOST || !(w.exStyle & WS_EX_TOPMOST)) {
      while (i < count && isTopmost(list[i])) ++i;
    }
  } else if (insertAfter != HWND_TOPMOST) {
    for (; i < count; ++i) {
      if (list[i] == insertAfter) break;
      if (list[i] == self) return insertAfter;  // moving down: owned windows stay
    }
  }
  const UINT ownedFlags =
      SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOSENDCHANGING | SWP_DEFERERASE;
  for (; i < count; ++i) {
    if (list[i] == self) break;
    if (ownerOf(list[i]) != self) continue;
    setWindowPos(list[i], insertAfter, 0, 0, 0, 0, ownedFlags);
    insertAfter = list[i];
  }
  return insertAfter;
}

bool sameRect(const RECT &a, const RECT &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The z-order part of the request, as Wine trims it before doing anything:
// moves that change nothing become SWP_NOZORDER, an insert-after window
// that is no sibling fails the call.
bool trimZOrder(const Window &w, HWND insertAfter, UINT &flags) {
  if (flags & SWP_NOZORDER) return true;
  bool topmost = (w.exStyle & WS_EX_TOPMOST) != 0;
  int index = indexOf(w);
  const Window &parent = windowAt(w.parent);
  if (insertAfter == HWND_TOP) {
    if (parent.firstChild == index) flags |= SWP_NOZORDER;
  } else if (insertAfter == HWND_BOTTOM) {
    if (!topmost && parent.lastChild == index) flags |= SWP_NOZORDER;
  } else if (insertAfter == HWND_TOPMOST) {
    if (topmost && parent.firstChild == index) flags |= SWP_NOZORDER;
  } else if (insertAfter == HWND_NOTOPMOST) {
    if (!topmost) flags |= SWP_NOZORDER;
  } else {
    Window *after = findWindow(insertAfter);
    if (!after || after->parent != w.parent) return false;
    if (after == &w || after->next == index) flags |= SWP_NOZORDER;
  }
  return true;
}

RECT requestedRect(const Window &w, int x, int y, int cx, int cy, UINT flags) {
  RECT r = w.rect;
  if (!(flags & SWP_NOMOVE)) {
    r = {x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
  }
  if (!(flags & SWP_NOSIZE)) {
    r.right = r.left + (cx < 0 ? 0 : cx);
    r.bottom = r.top + (cy < 0 ? 0 : cy);
  }
  return r;
}

void activateAfterMove(Window &w) {
  if (isChildStyle(w))
    sendInternal(w.handle, WM_CHILDACTIVATE, 0, 0);
  else
    setForeground(w.handle, false);
}

}  // namespace

void unlinkWindow(Window &w) {
  if (!isLinked(w)) return;
  Window &parent = windowAt(w.parent);
  if (w.prev != NO_WINDOW)
    windowAt(w.prev).next = w.next;
  else
    parent.firstChild = w.next;
  if (w.next != NO_WINDOW)
    windowAt(w.next).prev = w.prev;
  else
    parent.lastChild = w.prev;
  w.next = w.prev = NO_WINDOW;
}

void appendChild(int parentIndex, Window &w) {
  w.parent = parentIndex;
  insertBefore(w, NO_WINDOW);
}

bool linkWindow(Window &w, HWND insertAfter) {
  bool wasLinked = isLinked(w);
  int oldPrev = w.prev;
  DWORD oldExStyle = w.exStyle;
  if (insertAfter == HWND_NOTOPMOST) {
    if (!(w.exStyle & WS_EX_TOPMOST) && wasLinked) return false;
    w.exStyle &= ~WS_EX_TOPMOST;
    insertAfter = HWND_TOP;
  } else if (insertAfter == HWND_TOPMOST) {
    if ((w.exStyle & WS_EX_TOPMOST) && wasLinked) return false;
    if (w.parent != DESKTOP_INDEX) return false;
    w.exStyle |= WS_EX_TOPMOST;
    insertAfter = HWND_TOP;
  }
  Window *previous =
      insertAfter == HWND_TOP || insertAfter == HWND_BOTTOM ? nullptr : findWindow(insertAfter);
  if (previous && (previous == &w || previous->parent != w.parent)) previous = nullptr;
  unlinkWindow(w);
  if (insertAfter == HWND_BOTTOM) {
    insertBefore(w, NO_WINDOW);
    w.exStyle &= ~WS_EX_TOPMOST;
  } else if (previous) {
    linkAfter(w, *previous);
  } else {
    linkAtTop(w);
  }
  return !wasLinked || w.prev != oldPrev || w.exStyle != oldExStyle;
}

int collectChildren(int parentIndex, HWND *handles, int capacity) {
  int count = 0;
  for (int i = windowAt(parentIndex).firstChild; i != NO_WINDOW && count < capacity;
       i = windowAt(i).next)
    handles[count++] = windowAt(i).handle;
  return count;
}

void raiseSilently(HWND window) {
  Window *w = findWindow(window);
  if (w && isTopLevel(*w)) linkWindow(*w, HWND_TOP);
}

BOOL setWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window *w = findWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if ((flags & SWP_ASYNCWINDOWPOS) && w->threadId != GetCurrentThreadId()) {
    pushEvent(w->threadId,
              {EVENT_WINDOW_POS, window, insertAfter, x, y, cx, cy, flags & ~SWP_ASYNCWINDOWPOS});
    return TRUE;
  }
  AsThread owningThread(w->threadId);
  flags &= ~SWP_ASYNCWINDOWPOS;
  if (w->style & WS_VISIBLE)
    flags &= ~SWP_SHOWWINDOW;
  else
    flags &= ~SWP_HIDEWINDOW;
  if (!trimZOrder(*w, insertAfter, flags)) return FALSE;
  if (!(flags & SWP_NOACTIVATE) && !isChildStyle(*w) && window == GetForegroundWindow())
    flags |= SWP_NOACTIVATE;
  WINDOWPOS pos = {window, insertAfter, x, y, cx, cy, flags};
  if (!(flags & SWP_NOSENDCHANGING)) sendInternal(window, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos);
  if (!(w = findWindow(window))) return FALSE;
  flags = pos.flags;
  insertAfter = pos.hwndInsertAfter;
  if (!(flags & SWP_NOZORDER) && isTopLevel(*w) && !(flags & SWP_NOOWNERZORDER)) {
    insertAfter = placeOwnedWindows(*w, insertAfter);
    if (!(w = findWindow(window))) return FALSE;
  }
  RECT rect = requestedRect(*w, pos.x, pos.y, pos.cx, pos.cy, flags);
  bool changed = !sameRect(rect, w->rect);
  w->rect = rect;
  if (changed && !(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->normalRect = rect;
  if (!(flags & SWP_NOZORDER)) changed |= linkWindow(*w, insertAfter);
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  changed |= (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)) != 0;
  if (!(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && (w->style & WS_VISIBLE))
    activateAfterMove(*w);
  if (!changed || !(w = findWindow(window))) return TRUE;
  pos = {window,
         insertAfter,
         w->rect.left,
         w->rect.top,
         w->rect.right - w->rect.left,
         w->rect.bottom - w->rect.top,
         flags};
  sendInternal(window, WM_WINDOWPOSCHANGED, 0, (LPARAM)&pos);
  return TRUE;
}

}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  recordWindowPos(window, insertAfter, x, y, cx, cy, flags);
  return setWindowPos(window, insertAfter, x, y, cx, cy, flags);
}

}  // extern "C"
