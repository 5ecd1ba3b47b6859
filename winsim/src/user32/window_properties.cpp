// Window properties: SetPropA, GetPropA, RemovePropA. Any thread of any
// process may read a window's list ("The GetProp function retrieves a data
// handle from the property list of the specified window"); names are
// strings looked up as atoms, without regard to case. Integer atoms
// (MAKEINTATOM) are not modelled and are refused.
#include <windows.h>

#include "desktop_state.h"

namespace winsim {
namespace {

bool isNamed(LPCSTR name) { return name && ((ULONG_PTR)name >> 16) != 0; }

Window::Property *findProperty(Window *w, LPCSTR name) {
  for (int i = 0; i < w->propertyCount; ++i) {
    if (lstrcmpiA(w->properties[i].name, name) == 0) return &w->properties[i];
  }
  return NULL;
}

}  // namespace
}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI SetPropA(HWND window, LPCSTR name, HANDLE data) {
  Window *w = findWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!isNamed(name) || lstrlenA(name) >= PROPERTY_NAME_CAPACITY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Window::Property *property = findProperty(w, name);
  if (!property) {
    if (w->propertyCount == PROPERTY_CAPACITY) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
    property = &w->properties[w->propertyCount++];
    lstrcpyA(property->name, name);
  }
  property->data = data;
  return TRUE;
}

HANDLE WINAPI GetPropA(HWND window, LPCSTR name) {
  Window *w = findWindow(window);
  if (!w || !isNamed(name)) return NULL;
  Window::Property *property = findProperty(w, name);
  return property ? property->data : NULL;
}

HANDLE WINAPI RemovePropA(HWND window, LPCSTR name) {
  Window *w = findWindow(window);
  if (!w || !isNamed(name)) return NULL;
  Window::Property *property = findProperty(w, name);
  if (!property) return NULL;
  HANDLE data = property->data;
  *property = w->properties[--w->propertyCount];
  return data;
}

}  // extern "C"
