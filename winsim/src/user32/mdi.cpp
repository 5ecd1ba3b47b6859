// MDI: the MDIClient window class, DefFrameProcA and DefMDIChildProcA.
// Activating a document window raises it among its siblings, moves the
// focus into it and tells the old and the new one with WM_MDIACTIVATE;
// minimising the active one hands the activation to the next document
// window that is not minimised. As under Wine, destroying the active
// document window leaves the client reporting it as active.
#include <windows.h>

#include "desktop_state.h"

namespace winsim {

namespace {

HWND activeChildOf(HWND client) {
  Window *c = findWindow(client);
  return c ? c->mdiActiveChild : NULL;
}

bool isCandidate(const Window &w, DWORD excluded) {
  if (w.owner != NO_WINDOW) return false;
  return (w.style & (excluded | WS_DISABLED | WS_VISIBLE)) == WS_VISIBLE;
}

// The document window after `child` in z-order, wrapping round, that is
// visible, enabled and has none of the `excluded` style bits.
HWND nextChild(const Window &client, HWND child, DWORD excluded) {
  Window *from = findWindow(child);
  if (from) {
    for (int i = from->next; i != NO_WINDOW; i = windowAt(i).next) {
      if (isCandidate(windowAt(i), excluded)) return windowAt(i).handle;
    }
  }
  for (int i = client.firstChild; i != NO_WINDOW; i = windowAt(i).next) {
    if (windowAt(i).handle == child) break;
    if (isCandidate(windowAt(i), excluded)) return windowAt(i).handle;
  }
  return NULL;
}

void activateNext(HWND client, HWND child) {
  Window *c = findWindow(client);
  HWND next = c ? nextChild(*c, child, WS_MINIMIZE) : NULL;
  if (next && next != child) sendInternal(next, WM_CHILDACTIVATE, 0, 0);
}

LRESULT clientCreate(Window &client, LPARAM lParam) {
  const CREATESTRUCTA *create = (const CREATESTRUCTA *)lParam;
  const CLIENTCREATESTRUCT *mdi =
      create ? (const CLIENTCREATESTRUCT *)create->lpCreateParams : nullptr;
  if (mdi) client.mdiFirstChildId = mdi->idFirstChild;
  return 0;
}

LRESULT clientGetActive(const Window &client, LPARAM lParam) {
  if (lParam) *(BOOL *)lParam = IsZoomed(client.mdiActiveChild);
  return (LRESULT)client.mdiActiveChild;
}

LRESULT clientActivate(Window &client, HWND child) {
  Window *c = findWindow(child);
  if (c && c->parent == indexOf(client) && client.mdiActiveChild != child)
    setWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  return 0;
}

}  // namespace

UINT nextMdiChildId(const Window &client) {
  UINT count = 0;
  for (int i = client.firstChild; i != NO_WINDOW; i = windowAt(i).next) {
    if (windowAt(i).exStyle & WS_EX_MDICHILD) ++count;
  }
  return client.mdiFirstChildId + count;
}

void mdiActivate(HWND client, HWND child) {
  Window *c = findWindow(client);
  Window *k = findWindow(child);
  if (!c || (k && (k->style & WS_DISABLED))) return;
  HWND previous = c->mdiActiveChild;
  if (previous == child) return;
  bool frameActive = handleOf(c->parent) == GetActiveWindow();
  if (findWindow(previous)) {
    sendInternal(previous, WM_NCACTIVATE, FALSE, 0);
    sendInternal(previous, WM_MDIACTIVATE, (WPARAM)previous, (LPARAM)child);
  }
  if (!(c = findWindow(client))) return;
  c->mdiActiveChild = child;
  if (!findWindow(child)) {
    if (frameActive) SetFocus(client);
    return;
  }
  setWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  sendInternal(child, WM_NCACTIVATE, TRUE, 0);
  if (frameActive) {
    SetFocus(client);
    if (!IsIconic(child)) SetFocus(child);
  }
  sendInternal(child, WM_MDIACTIVATE, (WPARAM)previous, (LPARAM)child);
}

LRESULT CALLBACK mdiClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *client = findWindow(window);
  if (!client) return 0;
  switch (message) {
    case WM_CREATE:
      return clientCreate(*client, lParam);
    case WM_MDIACTIVATE:
      return clientActivate(*client, (HWND)wParam);
    case WM_MDIGETACTIVE:
      return clientGetActive(*client, lParam);
    case WM_MDIDESTROY:
      DestroyWindow((HWND)wParam);
      return 0;
    case WM_MDIRESTORE:
      sendInternal((HWND)wParam, WM_SYSCOMMAND, SC_RESTORE, 0);
      return 0;
    case WM_MDIMAXIMIZE:
      sendInternal((HWND)wParam, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      return 0;
    case WM_MDINEXT: {
      HWND from = wParam ? (HWND)wParam : client->mdiActiveChild;
      HWND next = nextChild(*client, from, 0);
      if (next && next != from) clientActivate(*client, next);
      return 0;
    }
    case WM_SETFOCUS:
      if (findWindow(client->mdiActiveChild) && !IsIconic(client->mdiActiveChild))
        SetFocus(client->mdiActiveChild);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace winsim

using namespace winsim;

extern "C" {

LRESULT WINAPI DefFrameProcA(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam) {
  if (findWindow(client)) {
    if (message == WM_SETFOCUS) {
      SetFocus(client);
      return 0;
    }
    if (message == WM_SIZE) {
      MoveWindow(client, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    }
  }
  return DefWindowProcA(frame, message, wParam, lParam);
}

LRESULT WINAPI DefMDIChildProcA(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *w = findWindow(child);
  if (!w) return 0;
  HWND client = handleOf(w->parent);
  switch (message) {
    case WM_CHILDACTIVATE:
      mdiActivate(client, child);
      return 0;
    case WM_SETFOCUS:
      if (activeChildOf(client) != child) mdiActivate(client, child);
      break;
    case WM_CLOSE:
      sendInternal(client, WM_MDIDESTROY, (WPARAM)child, 0);
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED && activeChildOf(client) == child) activateNext(client, child);
      break;
    default:
      break;
  }
  return DefWindowProcA(child, message, wParam, lParam);
}

}  // extern "C"
