// What rule evaluation knows about one click: the windows a Pattern can
// name, their class names, the hit-test code, whether the click counts as
// foreground, the program that owns the window under the pointer, the
// title of its root parent and the modifier keys held. A ClickFacts lives on the stack of one hook
// call: class names are read from the system on first use, at most once per window, and the
// foreground test is made on first use; nothing outlives the message.
//
// The same record describes a click given only by class names (no live
// windows), so that a rule list can be explained with the very walk the
// hooks use.
#pragma once

#include <windows.h>

#include "config/image_layout.h"

// The windows of a click, in the order a Pattern names their classes.
enum ClickWindow {
  CLICK_INVOKED = 0,  // the window under the pointer
  CLICK_ACTIVE = 1,   // its click target
  CLICK_PARENT = 2,   // its root parent
  CLICK_WINDOW_COUNT = 3,
};

enum {
  CLASS_NAME_BUFFER_SIZE = 256,
  FOREGROUND_UNKNOWN = -1,
  CLICK_PROGRAM_BUFFER_SIZE = MAX_PATH,
  // A title of up to 255 characters, each of up to two bytes in the ANSI
  // code page.
  CLICK_TITLE_LENGTH = 255,
  CLICK_TITLE_BUFFER_SIZE = 2 * CLICK_TITLE_LENGTH + 1,
};

// The texts a Pattern can compare with wildcards, in the order of their
// fields in a match's extras record.
enum ClickText {
  CLICK_PROGRAM = 0,  // the file name of the program, without its folder
  CLICK_TITLE = 1,    // the root parent's title
};

struct ClickFacts {
  HWND window[CLICK_WINDOW_COUNT];
  // The activation target: differs from the click target only for a click
  // inside an MDI child window, which it then names.
  HWND activation;
  int hitTest;
  // 1 or 0 once known; FOREGROUND_UNKNOWN until the first rule asks.
  int foreground;
  // NULL until read; then points into classBuffer (or at a given name).
  const char *className[CLICK_WINDOW_COUNT];
  char classBuffer[CLICK_WINDOW_COUNT][CLASS_NAME_BUFFER_SIZE];
  // The modifier keys held (KEY_* bits); KEYS_NOT_READ until read. A tool
  // may set it before the walk.
  int keys;
  // The program file name and the title, in upper case: NULL until read;
  // then pointing into the buffers (or at this process's own name).
  const char *text[2];
  char programBuffer[CLICK_PROGRAM_BUFFER_SIZE];
  char titleBuffer[CLICK_TITLE_BUFFER_SIZE];
};

// A click on `window` (the MOUSEHOOKSTRUCT's hwnd): finds its click target,
// root parent and activation target.
void describeClickOn(ClickFacts *facts, HWND window, int hitTest);

// A click on three known windows, as matchWindow is given them; the click
// target doubles as the activation target.
void describeClickWindows(ClickFacts *facts, HWND invoked, HWND active, HWND parent, int hitTest);

// A click known only by its class names (NULL counts as the empty name) and
// whether it is foreground (1 or 0). No window is ever asked anything.
void describeClickByClassNames(ClickFacts *facts, const char *invokedClass, const char *activeClass,
                               const char *parentClass, int hitTest, int foreground);

// Gives the click its program file name (a path is cut to its file name)
// or its root parent's title, instead of reading it; NULL counts as "". A
// tool describing a click on a window of another process gives the program.
void giveClickText(ClickFacts *facts, ClickText which, const char *text);

// The program file name or the title of the click, in upper case (as
// CharUpperA makes it); "" when the system cannot tell it. The title
// is read without a message to the window: a hung program cannot stall the
// click.
const char *clickText(ClickFacts *facts, ClickText which);

// Brings `text` to upper case in place, as CharUpperA does in the ANSI
// code page.
void toUpperCase(char *text);

// The modifier keys held at the click (KEY_* bits), left and right alike.
int clickKeys(ClickFacts *facts);

// The class name of one of the click's windows; "" when the system cannot
// tell it (for instance because the window has gone away).
const char *clickClassName(ClickFacts *facts, ClickWindow which);

// 1 when the click lies inside an MDI child window.
int isMdiClick(const ClickFacts *facts);

// 1 when the click counts as foreground: the click target is the top of the
// z-order, or, inside an MDI child, that child is the highest eligible one
// among its siblings.
int isForegroundClick(ClickFacts *facts);
