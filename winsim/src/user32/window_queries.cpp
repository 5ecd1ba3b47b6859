// Questions about windows and their relatives: names, styles, window
// longs, parents, owners, siblings, finding windows by name or by point.
// These run on the hook path, so none of them allocates.
#include <windows.h>

#include <string.h>
#include <strings.h>

#include "desktop_state.h"
#include "records.h"

namespace winsim {

namespace {

constexpr int GWLP_HWNDPARENT_INDEX = -8;
const char DESKTOP_CLASS_NAME[] = "#32769";

int copyTruncated(const char *source, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  int length = (int)strlen(source);
  if (length > size - 1) length = size - 1;
  memcpy(buffer, source, (size_t)length);
  buffer[length] = '\0';
  return length;
}

Window *windowOrFail(HWND window) {
  Window *w = findWindowOrDesktop(window);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

bool readLong(const Window &w, int index, LONG_PTR &value) {
  switch (index) {
    case GWL_STYLE:
      value = (LONG)w.style;
      return true;
    case GWL_EXSTYLE:
      value = (LONG)w.exStyle;
      return true;
    case GWL_ID:
      value = w.id;
      return true;
    case GWL_USERDATA:
      value = w.userData;
      return true;
    case GWL_WNDPROC:
      value = (LONG_PTR)w.proc;
      return true;
    case GWL_HINSTANCE:
      value = (LONG_PTR)w.instance;
      return true;
    case GWLP_HWNDPARENT_INDEX:
      value = (LONG_PTR)handleOf(w.owner);
      return true;
    default:
      break;
  }
  if (index < 0 || index > w.extraSize - (int)sizeof(LONG)) return false;
  LONG extra;
  memcpy(&extra, w.extra + index, sizeof extra);
  value = extra;
  return true;
}

// Style words as Wine stores them: a top-level window keeps
// WS_CLIPSIBLINGS, WS_MINIMIZE cannot be taken back this way, and
// WS_EX_TOPMOST changes only through SetWindowPos.
LONG_PTR writeStyle(HWND window, int index, DWORD value) {
  Window *w = findWindow(window);
  DWORD old = index == GWL_STYLE ? w->style : w->exStyle;
  STYLESTRUCT change = {old, value};
  sendInternal(window, WM_STYLECHANGING, (WPARAM)index, (LPARAM)&change);
  if (!(w = findWindow(window))) return (LONG)old;
  value = change.styleNew;
  if (index == GWL_STYLE) {
    if (isTopLevel(*w)) value |= WS_CLIPSIBLINGS;
    if (old & WS_MINIMIZE) value |= WS_MINIMIZE;
    w->style = value;
  } else {
    w->exStyle = (value & ~WS_EX_TOPMOST) | (old & WS_EX_TOPMOST);
  }
  change.styleNew = index == GWL_STYLE ? w->style : w->exStyle;
  sendInternal(window, WM_STYLECHANGED, (WPARAM)index, (LPARAM)&change);
  return (LONG)old;
}

LONG_PTR writeLong(HWND window, int index, LONG_PTR value) {
  Window *w = findWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = 0;
  if (!readLong(*w, index, old)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
      return writeStyle(window, index, (DWORD)value);
    case GWL_ID:
      w->id = value;
      break;
    case GWL_USERDATA:
      w->userData = value;
      break;
    case GWL_WNDPROC:
      w->proc = (WNDPROC)value;
      break;
    case GWL_HINSTANCE:
      w->instance = (HINSTANCE)value;
      break;
    case GWLP_HWNDPARENT_INDEX:
      break;
    default: {
      LONG extra = (LONG)value;
      memcpy(w->extra + index, &extra, sizeof extra);
    }
  }
  return old;
}

const char *classNameOf(const Window &w) {
  return w.classIndex < 0 ? DESKTOP_CLASS_NAME : desktop().classes[w.classIndex].name;
}

bool matchesName(const Window &w, int classIndex, LPCSTR title) {
  if (classIndex >= 0 && w.classIndex != classIndex) return false;
  return !title || strcasecmp(w.text, title) == 0;
}

bool containsPoint(const Window &w, POINT pt) {
  RECT r = screenRectOf(w);
  return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}

// The deepest visible, enabled child under the point; a disabled child
// stops the search at its parent.
int childFromPoint(int index, POINT pt) {
  if (windowAt(index).style & WS_MINIMIZE) return index;
  for (int i = windowAt(index).firstChild; i != NO_WINDOW; i = windowAt(i).next) {
    const Window &child = windowAt(i);
    if (!(child.style & WS_VISIBLE) || !containsPoint(child, pt)) continue;
    if (child.style & WS_DISABLED) return index;
    return childFromPoint(i, pt);
  }
  return index;
}

}  // namespace

}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI IsWindow(HWND window) { return findWindowOrDesktop(window) != nullptr; }

BOOL WINAPI IsWindowVisible(HWND window) {
  Window *w = findWindowOrDesktop(window);
  if (!w) return FALSE;
  for (int i = indexOf(*w); i != NO_WINDOW && i != DESKTOP_INDEX; i = windowAt(i).parent) {
    if (!(windowAt(i).style & WS_VISIBLE)) return FALSE;
  }
  return TRUE;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
  Window *w = findWindowOrDesktop(window);
  return w && !(w->style & WS_DISABLED);
}

BOOL WINAPI IsIconic(HWND window) {
  Window *w = findWindow(window);
  return w && (w->style & WS_MINIMIZE);
}

BOOL WINAPI IsZoomed(HWND window) {
  Window *w = findWindow(window);
  return w && (w->style & WS_MAXIMIZE);
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
  Window *w = findWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    sendInternal(window, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    sendInternal(window, WM_CANCELMODE, 0, 0);
    if (!(w = findWindow(window))) return wasDisabled;
    w->style |= WS_DISABLED;
    // As on Wine: windows inside keep the focus; the window itself cannot.
    if (GetFocus() == window) setFocusWindow(NULL);
    sendInternal(window, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

int WINAPI GetClassNameA(HWND window, LPSTR buffer, int size) {
  countGetClassName();
  Window *w = windowOrFail(window);
  return w ? copyTruncated(classNameOf(*w), buffer, size) : 0;
}

DWORD WINAPI GetClassLongA(HWND window, int index) {
  Window *w = windowOrFail(window);
  if (!w) return 0;
  if (index != GCL_STYLE) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return w->classIndex < 0 ? 0 : desktop().classes[w->classIndex].style;
}

UINT WINAPI GetDoubleClickTime(void) { return 500; }

// "If the target window is owned by the current process, GetWindowText
// causes a WM_GETTEXT message to be sent to the specified window or
// control. If the target window is owned by another process and has a
// caption, GetWindowText retrieves the window caption text." So a window
// of a hung thread of the caller's own process stalls the caller.
int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
  Window *w = windowOrFail(window);
  if (!w) return 0;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == GetCurrentProcessId() && buffer && size > 0) {
    buffer[0] = '\0';
    return (int)SendMessageA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)buffer);
  }
  return copyTruncated(w->text, buffer, size);
}

// SetWindowText "causes a WM_SETTEXT message to be sent to the specified
// window or control"; the default handling keeps the text.
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  if (!windowOrFail(window)) return FALSE;
  return SendMessageA(window, WM_SETTEXT, 0, (LPARAM)text) ? TRUE : FALSE;
}

// InternalGetWindowText "obtains the window text directly from the window
// structure associated with the specified window's handle and then always
// provides the text as a Unicode string. This is unlike GetWindowText which
// obtains the text by sending the window a WM_GETTEXT message." No window
// procedure runs, whichever thread owns the window.
int WINAPI InternalGetWindowText(HWND window, LPWSTR buffer, int size) {
  Window *w = windowOrFail(window);
  if (!buffer || size <= 0) return 0;
  buffer[0] = 0;
  if (!w) return 0;
  int length = 0;
  for (; w->text[length] != '\0' && length < size - 1; ++length) {
    buffer[length] = (WCHAR)(unsigned char)w->text[length];
  }
  buffer[length] = 0;
  return length;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
  Window *w = windowOrFail(window);
  LONG_PTR value = 0;
  if (w && !readLong(*w, index, value)) SetLastError(ERROR_INVALID_INDEX);
  return value;
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
  return (LONG)GetWindowLongPtrA(window, index);
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  return writeLong(window, index, value);
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
  return (LONG)writeLong(window, index, value);
}

HWND WINAPI GetParent(HWND window) {
  Window *w = windowOrFail(window);
  if (!w) return NULL;
  // A popup's owner, even when the child bit is set too.
  if (w->style & WS_POPUP) return handleOf(w->owner);
  if (w->style & WS_CHILD) return handleOf(w->parent);
  return NULL;
}

HWND WINAPI GetWindow(HWND window, UINT command) {
  Window *w = windowOrFail(window);
  if (!w) return NULL;
  bool hasParent = w->parent != NO_WINDOW;
  switch (command) {
    case GW_HWNDFIRST:
      return hasParent ? handleOf(windowAt(w->parent).firstChild) : NULL;
    case GW_HWNDLAST:
      return hasParent ? handleOf(windowAt(w->parent).lastChild) : NULL;
    case GW_HWNDNEXT:
      return handleOf(w->next);
    case GW_HWNDPREV:
      return handleOf(w->prev);
    case GW_OWNER:
      return handleOf(w->owner);
    case GW_CHILD:
      return handleOf(w->firstChild);
    case GW_ENABLEDPOPUP:
      return NULL;  // Wine leaves this one unimplemented
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return NULL;
  }
}

HWND WINAPI GetTopWindow(HWND window) {
  return GetWindow(window ? window : desktopHandle(), GW_CHILD);
}

HWND WINAPI GetDesktopWindow(void) { return desktopHandle(); }

HWND WINAPI GetAncestor(HWND window, UINT flags) {
  Window *w = findWindowOrDesktop(window);
  if (!w || indexOf(*w) == DESKTOP_INDEX) return NULL;
  if (flags == GA_PARENT) return handleOf(w->parent);
  HWND root = handleOf(topLevelAncestor(indexOf(*w)));
  if (flags == GA_ROOT) return root;
  if (flags != GA_ROOTOWNER) return NULL;
  for (HWND parent = GetParent(root); parent; parent = GetParent(root)) root = parent;
  return root;
}

HWND WINAPI GetLastActivePopup(HWND window) {
  Window *w = windowOrFail(window);
  if (!w) return NULL;
  return findWindow(w->lastActivePopup) ? w->lastActivePopup : window;
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
  int classIndex = -1;
  if (className) {
    classIndex = findClass(className);
    if (classIndex < 0) return NULL;
  }
  for (int i = windowAt(DESKTOP_INDEX).firstChild; i != NO_WINDOW; i = windowAt(i).next) {
    if (matchesName(windowAt(i), classIndex, windowName)) return windowAt(i).handle;
  }
  return NULL;
}

// Top-level windows only (a NULL parent), in z-order after `childAfter`
// (from the top when NULL): "The search begins with the next child window
// in the Z order" after it.
HWND WINAPI FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
  if (parent && parent != desktopHandle()) return NULL;
  int classIndex = -1;
  if (className) {
    classIndex = findClass(className);
    if (classIndex < 0) return NULL;
  }
  int i = windowAt(DESKTOP_INDEX).firstChild;
  if (childAfter) {
    while (i != NO_WINDOW && windowAt(i).handle != childAfter) i = windowAt(i).next;
    if (i == NO_WINDOW) return NULL;
    i = windowAt(i).next;
  }
  for (; i != NO_WINDOW; i = windowAt(i).next) {
    if (matchesName(windowAt(i), classIndex, windowName)) return windowAt(i).handle;
  }
  return NULL;
}

DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId) {
  Window *w = windowOrFail(window);
  if (!w) return 0;
  if (processId) *processId = findThread(w->threadId) ? findThread(w->threadId)->processId : 0;
  return w->threadId;
}

HWND WINAPI WindowFromPoint(POINT point) {
  for (int i = windowAt(DESKTOP_INDEX).firstChild; i != NO_WINDOW; i = windowAt(i).next) {
    const Window &w = windowAt(i);
    if ((w.style & WS_VISIBLE) && containsPoint(w, point))
      return windowAt(childFromPoint(i, point)).handle;
  }
  return desktopHandle();
}

}  // extern "C"
