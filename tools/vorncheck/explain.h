// vorncheck --explain: which rule wins for a click described by class
// names, a hit-test area and whether the window is in front.
#pragma once

#include <stdio.h>

#include <windows.h>

#include "ini_document.h"

struct ClickDescription {
  int eventSlot = -1;                  // index into the event table
  const char *invokedClass = nullptr;  // the window under the pointer
  const char *activeClass = nullptr;   // the window the click is about (default: invoked)
  const char *parentClass = nullptr;   // the outermost parent (default: active)
  int hitTest = HTCLIENT;
  int foreground = 1;
  const char *program = nullptr;  // the program file name (default: none)
  const char *title = nullptr;    // the outermost parent's title (default: none)
  int keys = 0;                   // the modifier keys held (KEY_* bits; default: none)
};

// Prints the walk over the list that decides the click in this process's
// image, as the mouse hook picks it (a middle press without a list of its
// own: its release's): each rule and why it did not win, the winner, and
// what becomes of the click. `doc` is the file the image was compiled
// from. Returns 0.
int explainClick(const ClickDescription &click, const IniDocument &doc, FILE *out);
