// RegisterHotKey and UnregisterHotKey. "RegisterHotKey fails if the
// keystrokes specified for the hot key have already been registered by
// another hot key." "When a key is pressed, the system looks for a match
// against all hot keys. Upon finding a match, the system posts the
// WM_HOTKEY message to the message queue of the window with which the hot
// key is associated." MOD_NOREPEAT changes only what holding the keys down
// does, which winsim does not model; it is no part of the keystroke.
#include <windows.h>

#include "desktop_state.h"
#include "winsim/control.h"

namespace winsim {
namespace {

const UINT KEYSTROKE_MODIFIERS = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;

HotKey *findKeystroke(UINT modifiers, UINT virtualKey) {
  Desktop &d = desktop();
  for (int i = 0; i < d.hotKeyCount; ++i) {
    HotKey &key = d.hotKeys[i];
    if (key.modifiers == (modifiers & KEYSTROKE_MODIFIERS) && key.virtualKey == virtualKey) {
      return &key;
    }
  }
  return NULL;
}

}  // namespace
}  // namespace winsim

using namespace winsim;

extern "C" {

BOOL WINAPI RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
  if (window && !findWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (findKeystroke(modifiers, virtualKey)) {
    SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
    return FALSE;
  }
  Desktop &d = desktop();
  if (d.hotKeyCount == MAX_HOT_KEYS) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  d.hotKeys[d.hotKeyCount++] = {window, id, modifiers & KEYSTROKE_MODIFIERS, virtualKey};
  return TRUE;
}

BOOL WINAPI UnregisterHotKey(HWND window, int id) {
  Desktop &d = desktop();
  BOOL removed = FALSE;
  for (int i = d.hotKeyCount - 1; i >= 0; --i) {
    if (d.hotKeys[i].window == window && d.hotKeys[i].id == id) {
      d.hotKeys[i] = d.hotKeys[--d.hotKeyCount];
      removed = TRUE;
    }
  }
  if (!removed) SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
  return removed;
}

int winsimPressHotKey(UINT modifiers, UINT virtualKey) {
  HotKey *key = findKeystroke(modifiers, virtualKey);
  if (!key) return 0;
  return PostMessageA(key->window, WM_HOTKEY, (WPARAM)key->id,
                      MAKELPARAM(key->modifiers, key->virtualKey));
}

}  // extern "C"
