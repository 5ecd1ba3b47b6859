// CreateWindowExA and DestroyWindow, in the order Wine runs them: style
// fix-ups, linking (top-level windows at the top of their band, children
// at the bottom of their siblings), WM_NCCREATE/WM_CREATE, then showing;
// on destruction the window is hidden, the windows it owns go first, then
// WM_DESTROY runs parent-first and WM_NCDESTROY children-first.
#include <windows.h>

#include <string.h>

#include "desktop_state.h"

namespace winsim {

namespace {

constexpr DWORD EX_STATICEDGE = 0x00020000;
constexpr DWORD MDI_CHILD_STYLE = WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_THICKFRAME |
                                  WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

int freeSlot() {
  for (int i = 1; i < MAX_WINDOWS; ++i) {
    if (!windowAt(i).inUse) return i;
  }
  return -1;
}

bool isMdiClient(HWND window) {
  Window *w = findWindow(window);
  return w && w->classIndex == findClass("MDIClient");
}

DWORD fixedStyle(DWORD style, bool mdiChild) {
  if (mdiChild) style |= MDI_CHILD_STYLE;
  if (!(style & WS_CHILD)) {
    style |= WS_CLIPSIBLINGS;
    if (!(style & WS_POPUP)) style |= WS_CAPTION;
  }
  return style;
}

DWORD fixedExStyle(DWORD exStyle, DWORD style) {
  bool edge = !(exStyle & EX_STATICEDGE) &&
              ((style & (WS_DLGFRAME | WS_THICKFRAME)) || (exStyle & WS_EX_DLGMODALFRAME));
  exStyle = edge ? (exStyle | WS_EX_WINDOWEDGE) : (exStyle & ~WS_EX_WINDOWEDGE);
  if (style & WS_CHILD) exStyle &= ~WS_EX_TOPMOST;
  return exStyle;
}

// CW_USEDEFAULT: overlapped windows get the top-left corner and three
// quarters of the screen, everything else zeros.
void fixDefaults(DWORD style, bool mdiChild, int &x, int &y, int &cx, int &cy) {
  bool overlapped = mdiChild || !(style & (WS_CHILD | WS_POPUP));
  if (x == CW_USEDEFAULT) x = y = 0;
  if (cx == CW_USEDEFAULT) {
    cx = overlapped ? desktop().systemMetrics[SM_CXSCREEN] * 3 / 4 - x : 0;
    cy = overlapped ? desktop().systemMetrics[SM_CYSCREEN] * 3 / 4 - y : 0;
  }
  if (cx < 0) cx = 0;
  if (cy < 0) cy = 0;
}

// Parent and owner as Windows assigns them: a child's parent is the given
// window; a top-level window given one is owned by its top-level ancestor.
// WS_POPUP outweighs WS_CHILD: a window with both is a top-level popup.
bool resolveRelatives(HWND parent, DWORD style, int &parentIndex, int &ownerIndex) {
  parentIndex = DESKTOP_INDEX;
  ownerIndex = NO_WINDOW;
  Window *p = parent ? findWindowOrDesktop(parent) : nullptr;
  if (parent && !p) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  if ((style & (WS_CHILD | WS_POPUP)) == WS_CHILD) {
    if (!p) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return false;
    }
    parentIndex = indexOf(*p);
  } else if (p && indexOf(*p) != DESKTOP_INDEX) {
    ownerIndex = topLevelAncestor(indexOf(*p));
  }
  return true;
}

void sendSizeAndMove(HWND window) {
  Window *w = findWindow(window);
  if (!w) return;
  RECT client = clientRectOf(*w);
  RECT insets = frameInsets(w->style, w->exStyle);
  sendInternal(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  if (!(w = findWindow(window))) return;
  sendInternal(window, WM_MOVE, 0,
               MAKELPARAM(w->rect.left + insets.left, w->rect.top + insets.top));
}

void applyInitialState(HWND window, DWORD requested) {
  Window *w = findWindow(window);
  if (!w || !(requested & (WS_MINIMIZE | WS_MAXIMIZE))) return;
  RECT rect = w->rect;
  changeWindowState(*w, (requested & WS_MINIMIZE) ? SW_MINIMIZE : SW_MAXIMIZE, rect);
  setWindowPos(window, HWND_TOP, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void markDestroying(int index) {
  windowAt(index).destroying = true;
  for (int i = windowAt(index).firstChild; i != NO_WINDOW; i = windowAt(i).next) markDestroying(i);
}

void sendDestroy(HWND window) {
  sendInternal(window, WM_DESTROY, 0, 0);
  Window *w = findWindow(window);
  if (!w) return;
  HWND children[MAX_WINDOWS];
  int count = collectChildren(indexOf(*w), children, MAX_WINDOWS);
  for (int i = 0; i < count; ++i) sendDestroy(children[i]);
}

void freeWindow(HWND window) {
  Window *w = findWindow(window);
  if (!w) return;
  HWND children[MAX_WINDOWS];
  int count = collectChildren(indexOf(*w), children, MAX_WINDOWS);
  for (int i = 0; i < count; ++i) freeWindow(children[i]);
  sendInternal(window, WM_NCDESTROY, 0, 0);
  if (!(w = findWindow(window))) return;
  unlinkWindow(*w);
  if (w->classIndex >= 0) --desktop().classes[w->classIndex].windowCount;
  dropQueuedMessagesFor(window);
  forgetWindow(window);
  w->inUse = false;
}

void destroyOwnedWindows(HWND owner) {
  for (bool destroyedOne = true; destroyedOne;) {
    destroyedOne = false;
    HWND list[MAX_WINDOWS];
    int count = collectChildren(DESKTOP_INDEX, list, MAX_WINDOWS);
    for (int i = 0; i < count; ++i) {
      Window *w = findWindow(list[i]);
      if (!w || handleOf(w->owner) != owner || w->destroying) continue;
      if (w->threadId == GetCurrentThreadId()) {
        DestroyWindow(list[i]);
        destroyedOne = true;
      } else {
        w->owner = NO_WINDOW;
      }
    }
  }
}

void hideForDestruction(HWND window, bool child) {
  if (!(findWindow(window)->style & WS_VISIBLE)) return;
  if (child)
    showWindow(window, SW_HIDE);
  else
    setWindowPos(window, NULL, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

Window *newWindow(int slot, int classIndex, DWORD exStyle, DWORD style, RECT rect, int parentIndex,
                  int ownerIndex, HMENU menu, HINSTANCE instance) {
  Window &w = windowAt(slot);
  memset(&w, 0, sizeof w);
  w.inUse = true;
  w.handle = allocateHandle(slot);
  w.classIndex = classIndex;
  w.threadId = GetCurrentThreadId();
  w.parent = parentIndex;
  w.owner = ownerIndex;
  w.firstChild = w.lastChild = w.next = w.prev = NO_WINDOW;
  w.style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  w.exStyle = exStyle;
  w.rect = w.normalRect = rect;
  w.proc = desktop().classes[classIndex].proc;
  w.instance = instance;
  w.id = (style & WS_CHILD) ? (LONG_PTR)menu : 0;
  w.lastActivePopup = w.handle;
  w.extraSize = desktop().classes[classIndex].extraBytes;
  ++desktop().classes[classIndex].windowCount;
  return &w;
}

}  // namespace

}  // namespace winsim

using namespace winsim;

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
  int classIndex = findClass(className);
  if (classIndex < 0) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return NULL;
  }
  bool mdiChild = (exStyle & WS_EX_MDICHILD) && isMdiClient(parent);
  style = fixedStyle(style, mdiChild);
  exStyle = fixedExStyle(exStyle, style);
  int parentIndex, ownerIndex;
  if (!resolveRelatives(parent, style, parentIndex, ownerIndex)) return NULL;
  int slot = freeSlot();
  if (slot < 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return NULL;
  }
  fixDefaults(style, mdiChild, x, y, width, height);
  RECT rect = {x, y, x + width, y + height};
  UINT mdiId = mdiChild ? nextMdiChildId(windowAt(parentIndex)) : 0;
  Window *w =
      newWindow(slot, classIndex, exStyle, style, rect, parentIndex, ownerIndex, menu, instance);
  if (mdiChild) w->id = mdiId;
  HWND window = w->handle;
  if (style & WS_CHILD)
    appendChild(parentIndex, *w);
  else
    linkWindow(*w, HWND_TOP);
  CREATESTRUCTA create = {param, instance, menu,        parent,     height,    width,
                          y,     x,        (LONG)style, windowName, className, exStyle};
  if (!sendInternal(window, WM_NCCREATE, 0, (LPARAM)&create)) {
    if (findWindow(window)) DestroyWindow(window);
    return NULL;
  }
  if (findWindow(window) && sendInternal(window, WM_CREATE, 0, (LPARAM)&create) == -1) {
    if (findWindow(window)) DestroyWindow(window);
    return NULL;
  }
  sendSizeAndMove(window);
  if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY) && findWindow(window))
    sendInternal(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, (WORD)w->id), (LPARAM)window);
  applyInitialState(window, style);
  if ((style & WS_VISIBLE) || mdiChild) {
    if (findWindow(window)) showWindow(window, (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
  }
  if (mdiChild && findWindow(window))
    setWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  return validOrNull(window);
}

BOOL WINAPI DestroyWindow(HWND window) {
  Window *w = findWindow(window);
  if (!w || w->destroying) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  AsThread owningThread(w->threadId);
  bool child = (w->style & WS_CHILD) != 0;
  hideForDestruction(window, child);
  if (!findWindow(window)) return TRUE;
  if (!child) destroyOwnedWindows(window);
  if (!(w = findWindow(window))) return TRUE;
  markDestroying(indexOf(*w));
  if (window == GetActiveWindow()) activateOtherWindow(window);
  if (isInside(currentThread().focusWindow, window)) currentThread().focusWindow = NULL;
  sendDestroy(window);
  freeWindow(window);
  return TRUE;
}

}  // extern "C"
