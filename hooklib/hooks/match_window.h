// The match test: does a MatchRecord hold for a click? A match holds when
// any of its Patterns does; a Pattern holds when each class it names equals
// the class of its window (exactly, case-sensitively) and its hit-test code
// is any or equal. The empty match name holds for every window.
#pragma once

#include <windows.h>

#include "config/image_layout.h"
#include "hooks/click_facts.h"

// 1 when the MatchRecord at `match` matches the click, else 0 (also for -1).
int matchClick(ImageOffset match, ClickFacts *facts);

// 1 when the MatchRecord at `matchOffset` matches the windows and hit-test
// code, else 0.
int matchWindow(ImageOffset matchOffset, HWND hwndInvoked, HWND hwndActive, HWND hwndParent,
                int hitTest);
