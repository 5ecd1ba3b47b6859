// Window classes and the user atom table. Class names and registered
// window messages share one table, so the same string gives the same atom
// whether it names a class or a message (as on Windows and Wine).
#include <windows.h>

#include <string.h>
#include <strings.h>

#include "desktop_state.h"

namespace winsim {

namespace {

bool isAtomName(LPCSTR nameOrAtom) { return ((uintptr_t)nameOrAtom >> 16) == 0; }

int findAtom(LPCSTR name) {
  Desktop &d = desktop();
  for (int i = 0; i < d.atomCount; ++i) {
    if (strcasecmp(d.atomNames[i], name) == 0) return i;
  }
  return -1;
}

// Buttons and statics are plain children here: they draw nothing and
// answer with the default handling.
LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void registerBuiltin(LPCSTR name, WNDPROC proc) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  if (RegisterClassA(&wc)) desktop().classes[findClass(name)].builtin = true;
}

}  // namespace

ATOM addAtom(LPCSTR name) {
  Desktop &d = desktop();
  int found = findAtom(name);
  if (found >= 0) return (ATOM)(FIRST_USER_ATOM + found);
  if (d.atomCount == MAX_ATOMS || strlen(name) >= NAME_CAPACITY) return 0;
  strcpy(d.atomNames[d.atomCount], name);
  return (ATOM)(FIRST_USER_ATOM + d.atomCount++);
}

int findClass(LPCSTR nameOrAtom) {
  if (!nameOrAtom) return -1;
  Desktop &d = desktop();
  for (int i = 0; i < MAX_CLASSES; ++i) {
    const WindowClass &c = d.classes[i];
    if (!c.inUse) continue;
    bool same = isAtomName(nameOrAtom) ? c.atom == (ATOM)(uintptr_t)nameOrAtom
                                       : strcasecmp(c.name, nameOrAtom) == 0;
    if (same) return i;
  }
  return -1;
}

void registerBuiltinClasses() {
  registerBuiltin("Button", controlProc);
  registerBuiltin("Static", controlProc);
  registerBuiltin("MDIClient", mdiClientProc);
}

}  // namespace winsim

using namespace winsim;

extern "C" {

// Negative extra byte counts are refused, as on Windows. A window keeps its
// extra bytes in a fixed array, so a class asking for more than that holds
// is refused too, rather than given fewer than it counts on.
ATOM WINAPI RegisterClassA(const WNDCLASSA *windowClass) {
  if (!windowClass || !windowClass->lpszClassName || isAtomName(windowClass->lpszClassName) ||
      windowClass->cbClsExtra < 0 || windowClass->cbWndExtra < 0 ||
      windowClass->cbWndExtra > EXTRA_BYTES_CAPACITY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (findClass(windowClass->lpszClassName) >= 0) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  Desktop &d = desktop();
  for (WindowClass &c : d.classes) {
    if (c.inUse) continue;
    ATOM atom = addAtom(windowClass->lpszClassName);
    if (!atom) break;
    c = WindowClass{};
    c.inUse = true;
    c.atom = atom;
    strcpy(c.name, windowClass->lpszClassName);
    c.style = windowClass->style;
    c.proc = windowClass->lpfnWndProc;
    c.extraBytes = windowClass->cbWndExtra;
    c.instance = windowClass->hInstance;
    return atom;
  }
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 0;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
  int index = findClass(className);
  if (index < 0 || desktop().classes[index].builtin) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  WindowClass &c = desktop().classes[index];
  if (c.windowCount > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  c.inUse = false;
  return TRUE;
}

UINT WINAPI RegisterWindowMessageA(LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return addAtom(name);
}

}  // extern "C"
