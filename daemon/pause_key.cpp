#include "pause_key.h"

#include <windows.h>

#include "vorn_names.h"

namespace {

const char *const MODIFIER_NAMES[] = {"Ctrl", "Control", "Alt", "Shift", "Win"};
const UINT MODIFIER_FLAGS[] = {MOD_CONTROL, MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN};
const int MODIFIER_COUNT = sizeof MODIFIER_FLAGS / sizeof MODIFIER_FLAGS[0];

UINT modifierNamed(const char *name) {
  for (int i = 0; i < MODIFIER_COUNT; ++i) {
    if (lstrcmpiA(name, MODIFIER_NAMES[i]) == 0) return MODIFIER_FLAGS[i];
  }
  return 0;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c; }

// The virtual key of a key's name; 0 when it is none of those read.
UINT keyNamed(const char *name) {
  if (lstrcmpiA(name, "Pause") == 0) return VK_PAUSE;
  if (lstrcmpiA(name, "ScrollLock") == 0) return VK_SCROLL;
  char first = upper(name[0]);
  if (name[0] && !name[1] && ((first >= 'A' && first <= 'Z') || (first >= '0' && first <= '9'))) {
    return (UINT)first;
  }
  if (first == 'F' && name[1] >= '1' && name[1] <= '9') {
    int number = name[1] - '0';
    if (name[2] >= '0' && name[2] <= '9' && !name[3])
      number = number * 10 + (name[2] - '0');
    else if (name[2])
      return 0;
    if (number <= 24) return VK_F1 + (UINT)(number - 1);
  }
  return 0;
}

}  // namespace

int parsePauseKey(const char *text, UINT *modifiers, UINT *virtualKey) {
  char part[32];
  UINT seen = 0;
  int length = 0;
  for (const char *c = text;; ++c) {
    if (*c != '+' && *c != '\0') {
      if (length == (int)sizeof part - 1) return 0;
      part[length++] = *c;
      continue;
    }
    part[length] = '\0';
    length = 0;
    if (*c == '\0') {
      UINT key = keyNamed(part);
      if (!key) return 0;
      *modifiers = seen;
      *virtualKey = key;
      return 1;
    }
    UINT modifier = modifierNamed(part);
    if (!modifier || (seen & modifier)) return 0;
    seen |= modifier;
  }
}

void registerPauseKey(HWND window, const char *path) {
  if (VORN_PAIR_BITS != 32) return;
  UnregisterHotKey(window, PAUSE_KEY_ID);
  char text[64];
  if (!path[0]) return;
  GetPrivateProfileStringA("Options", "PauseKey", "", text, sizeof text, path);
  UINT modifiers = 0;
  UINT key = 0;
  if (!parsePauseKey(text, &modifiers, &key)) return;
  // Held down, the keys would pause and resume by turns: MOD_NOREPEAT
  // stops that where the system knows it (Windows 7 and later); before, the
  // key is registered without it.
  if (!RegisterHotKey(window, PAUSE_KEY_ID, modifiers | MOD_NOREPEAT, key)) {
    RegisterHotKey(window, PAUSE_KEY_ID, modifiers, key);
  }
}

void unregisterPauseKey(HWND window) { UnregisterHotKey(window, PAUSE_KEY_ID); }
