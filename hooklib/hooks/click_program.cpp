// The program, title and keys of a click, each read only when a Pattern
// asks for it, and at most once per click.
#include <windows.h>

#include "hooks/click_facts.h"

namespace {

// This process's own program file name, in upper case, found at the first
// click that asks (empty until then). Per process, never shared.
char ownProgram[CLICK_PROGRAM_BUFFER_SIZE];

// Keeps the file name of `path` (what follows its last '\' or '/'), in
// upper case, as Windows compares file names without regard to letter case.
void keepUpperFileName(char *path) {
  char *name = path;
  for (char *c = path; *c != '\0'; c = CharNextA(c)) {
    if (*c == '\\' || *c == '/') name = c + 1;
  }
  char *out = path;
  while ((*out++ = *name++) != '\0') {
  }
  toUpperCase(path);
}

// A mouse message goes to the thread that owns its window, so the hook
// that decides a click runs in the process of the window under the pointer
// (where the system runs the hook elsewhere, it only notes the message:
// hooks/marshalled_messages.h). A window of another process, which only a
// tool describes, has the program its describer gives (giveClickText);
// here it has none.
const char *readProgram(ClickFacts *facts) {
  DWORD processId = 0;
  GetWindowThreadProcessId(facts->window[CLICK_INVOKED], &processId);
  if (processId != GetCurrentProcessId()) return "";
  if (ownProgram[0] == '\0') {
    GetModuleFileNameA(NULL, ownProgram, CLICK_PROGRAM_BUFFER_SIZE);
    ownProgram[CLICK_PROGRAM_BUFFER_SIZE - 1] = '\0';
    keepUpperFileName(ownProgram);
  }
  return ownProgram;
}

// GetWindowText would send WM_GETTEXT to a window of this process, and a
// window of another thread that is hung would never answer: the text the
// caption shows is read from the window itself instead.
const char *readTitle(ClickFacts *facts) {
  WCHAR wide[CLICK_TITLE_LENGTH + 1];
  char *buffer = facts->titleBuffer;
  wide[0] = 0;
  InternalGetWindowText(facts->window[CLICK_PARENT], wide, CLICK_TITLE_LENGTH + 1);
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, CLICK_TITLE_BUFFER_SIZE, NULL, NULL) <= 0) {
    buffer[0] = '\0';
  }
  toUpperCase(buffer);
  return buffer;
}

// Virtual key, then its bit: Shift, Ctrl and Alt have one code for the
// left and right keys, the Windows key has two.
const unsigned char modifierKeys[] = {
    VK_SHIFT, KEY_SHIFT, VK_CONTROL, KEY_CTRL, VK_MENU, KEY_ALT, VK_LWIN, KEY_WIN, VK_RWIN, KEY_WIN,
};

}  // namespace

// Given a string (an address above the low word), CharUpperA converts it
// in place, up to its NUL.
void toUpperCase(char *text) { CharUpperA(text); }

void giveClickText(ClickFacts *facts, ClickText which, const char *text) {
  char *buffer = which == CLICK_PROGRAM ? facts->programBuffer : facts->titleBuffer;
  int size = which == CLICK_PROGRAM ? CLICK_PROGRAM_BUFFER_SIZE : CLICK_TITLE_BUFFER_SIZE;
  int length = 0;
  for (; text && text[length] != '\0' && length < size - 1; ++length) {
    buffer[length] = text[length];
  }
  buffer[length] = '\0';
  if (which == CLICK_PROGRAM) {
    keepUpperFileName(buffer);
  } else {
    toUpperCase(buffer);
  }
  facts->text[which] = buffer;
}

const char *clickText(ClickFacts *facts, ClickText which) {
  if (facts->text[which] == NULL) {
    facts->text[which] = which == CLICK_PROGRAM ? readProgram(facts) : readTitle(facts);
  }
  return facts->text[which];
}

int clickKeys(ClickFacts *facts) {
  if (facts->keys != KEYS_NOT_READ) return facts->keys;
  int keys = 0;
  for (unsigned i = 0; i < sizeof modifierKeys; i += 2) {
    if (GetAsyncKeyState(modifierKeys[i]) < 0) keys |= modifierKeys[i + 1];
  }
  facts->keys = keys;
  return keys;
}
