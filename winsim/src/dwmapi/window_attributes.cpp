// The desktop window manager's answer about a window: whether it is
// cloaked (winsimSetWindowCloaked). The only attribute winsim knows; any
// other is answered as an attribute of no use here, E_INVALIDARG.
#include <dwmapi.h>
#include <windows.h>

#include <string.h>

#include "user32/desktop_state.h"
#include "user32/records.h"

using namespace winsim;

extern "C" {

HRESULT WINAPI DwmGetWindowAttribute(HWND window, DWORD attribute, PVOID value, DWORD size) {
  countDwmAttribute();
  Window *w = findWindow(window);
  if (!w) return E_HANDLE;
  if (attribute != DWMWA_CLOAKED || !value || size != sizeof(DWORD)) return E_INVALIDARG;
  memcpy(value, &w->cloaked, sizeof(DWORD));
  return S_OK;
}

int winsimSetWindowCloaked(HWND window, DWORD reason) {
  Window *w = findWindow(window);
  if (!w) return 0;
  w->cloaked = reason;
  return 1;
}

}  // extern "C"
