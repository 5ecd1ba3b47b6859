// What rule evaluation knows about one click: the windows a Pattern can
// name, their class names, the hit-test code and whether the click counts
// as foreground. A ClickFacts lives on the stack of one hook call: class
// names are read from the system on first use, at most once per window, and
// the foreground test is made on first use; nothing outlives the message.
//
// The same record describes a click given only by class names (no live
// windows), so that a rule list can be explained with the very walk the
// hooks use.
#pragma once

#include <windows.h>

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

// The class name of one of the click's windows; "" when the system cannot
// tell it (for instance because the window has gone away).
const char *clickClassName(ClickFacts *facts, ClickWindow which);

// 1 when the click lies inside an MDI child window.
int isMdiClick(const ClickFacts *facts);

// 1 when the click counts as foreground: the click target is the top of the
// z-order, or, inside an MDI child, that child is the highest eligible one
// among its siblings.
int isForegroundClick(ClickFacts *facts);
