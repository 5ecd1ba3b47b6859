// vorncheck --explain: which rule wins for a click described by class
// names, a hit-test area and whether the window is in front.
#pragma once

#include <stdio.h>

#include <windows.h>

struct ClickDescription {
  int eventSlot = -1;                  // index into the event table
  const char *invokedClass = nullptr;  // the window under the pointer
  const char *activeClass = nullptr;   // the window the click is about (default: invoked)
  const char *parentClass = nullptr;   // the outermost parent (default: active)
  int hitTest = HTCLIENT;
  int foreground = 1;
};

// Prints the walk over the event's list for the click in this process's
// image: each rule and why it did not win, the winner, its action and the
// hook's verdict. Returns 0.
int explainClick(const ClickDescription &click, FILE *out);
