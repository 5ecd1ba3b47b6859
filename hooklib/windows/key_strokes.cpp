#include "windows/key_strokes.h"

#include <windows.h>

#include <string.h>

namespace {

const BYTE KEY_M = 'M';
const BYTE KEY_D = 'D';

// "Unassigned" in the system's table of virtual-key codes. A press and
// release of Alt with no other key between opens the focus window's menu
// bar, of a Windows key the Start menu; a stroke of this key between them
// keeps that from happening, without meaning anything to any program.
const BYTE MASK_KEY = 0xE8;

// A stroke is planned as its key with KEYEVENTF_KEYUP above it.
const WORD RELEASE = KEYEVENTF_KEYUP << 8;

// The mask stroke, the modifiers released, the chord (three keys at most)
// pressed and released, the modifiers pressed again, the mask stroke.
const int MODIFIER_COUNT = 8;
const int MAX_STROKES = 2 * (2 + MODIFIER_COUNT + 3);

// The keys a user may still be holding when the click comes: the left and
// right Shift, Ctrl and Alt (six codes in a row) and the two Windows keys.
// Injected strokes combine with them: Ctrl turns Windows+D into
// Windows+Ctrl+D (a new virtual desktop), Shift turns Windows+M into
// Windows+Shift+M.
int findHeldModifiers(BYTE *held) {
  int count = 0;
  for (int key = VK_LSHIFT; key <= VK_RMENU + 2; ++key) {
    BYTE modifier = (BYTE)(key <= VK_RMENU ? key : key - VK_RMENU - 1 + VK_LWIN);
    if (GetAsyncKeyState(modifier) & 0x8000) held[count++] = modifier;
  }
  return count;
}

// One SendInput call, so that no other input comes between the strokes:
// the held modifiers are released, the chord's keys pressed in order and
// released in reverse, and the modifiers pressed again, since the user's
// hand is still on them and their own release comes later.
void typeChord(const BYTE *chord, int count) {
  BYTE held[MODIFIER_COUNT];
  int heldCount = findHeldModifiers(held);
  WORD plan[MAX_STROKES];
  int strokes = 0;
  if (heldCount) {
    plan[strokes++] = MASK_KEY;
    plan[strokes++] = MASK_KEY | RELEASE;
  }
  for (int i = 0; i < heldCount; ++i) plan[strokes++] = held[i] | RELEASE;
  for (int i = 0; i < count; ++i) plan[strokes++] = chord[i];
  for (int i = count - 1; i >= 0; --i) plan[strokes++] = chord[i] | RELEASE;
  for (int i = 0; i < heldCount; ++i) plan[strokes++] = held[i];
  if (heldCount) {
    plan[strokes++] = MASK_KEY;
    plan[strokes++] = MASK_KEY | RELEASE;
  }
  INPUT inputs[MAX_STROKES];
  memset(inputs, 0, sizeof inputs);
  for (int i = 0; i < strokes; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = (BYTE)plan[i];
    inputs[i].ki.dwFlags = plan[i] >> 8;
  }
  SendInput((UINT)strokes, inputs, sizeof(INPUT));
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
