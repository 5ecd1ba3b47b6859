#include "windows/key_strokes.h"

#include <windows.h>

namespace {

const BYTE KEY_M = 'M';
const BYTE KEY_D = 'D';

// The keys are pressed in order and released in reverse, with nothing in
// between, so that no key is left down.
void typeChord(const BYTE *keys, int count) {
  for (int i = 0; i < count; ++i) keybd_event(keys[i], 0, 0, 0);
  for (int i = count - 1; i >= 0; --i) keybd_event(keys[i], 0, KEYEVENTF_KEYUP, 0);
}

}  // namespace

void minimizeAllWindows(void) {
  static const BYTE chord[] = {VK_LWIN, KEY_M};
  typeChord(chord, 2);
}

void undoMinimizeAllWindows(void) {
  static const BYTE chord[] = {VK_LWIN, VK_SHIFT, KEY_M};
  typeChord(chord, 3);
}

void showDesktop(void) {
  static const BYTE chord[] = {VK_LWIN, KEY_D};
  typeChord(chord, 2);
}
