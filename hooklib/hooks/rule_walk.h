// The rule walk: which entry of a rule list wins a click. Pure apart from
// the questions ClickFacts asks the system about live windows, so that the
// hooks and an offline explanation of a configuration give the same answer.
// Reads this process's image through the bounds-checked accessors only.
#pragma once

#include "config/image_layout.h"
#include "hooks/click_facts.h"

// Why an entry visited by the walk did or did not win.
enum EntryOutcome {
  ENTRY_NOT_VISITED = 0,
  ENTRY_MATCH_FAILED,       // its match did not hold
  ENTRY_FOREGROUND_FAILED,  // its match held, its foreground condition did not
  ENTRY_HANDED_ON,          // its conditions held (or an earlier entry's did), but its
                            // action is empty: the click goes on to the next entry
  ENTRY_WON,
};

// What the walk saw, for explaining a result. Fixed size: no allocation.
struct WalkTrace {
  unsigned char outcome[LIST_ENTRY_COUNT];  // by entry number 1 to 9; [0] unused
  int satisfiedBy;  // the entry whose conditions held first; 0 when none did
};

// The number of the winning entry of the list at `list` (not -1): 1 to 9
// for a numbered rule, 0 for the default rule. `trace` may be NULL.
int findWinningEntry(ImageOffset list, ClickFacts *facts, WalkTrace *trace);

// The fields of entry `entry` (0 to 9) of the list at `list`.
ImageOffset entryActionOffset(ImageOffset list, int entry);
// NULL when the action name cannot be read from the image.
const char *entryActionName(ImageOffset list, int entry);
// The action-table row of entry `entry`'s action (NO_ACTION when its name
// is no action or cannot be read), from one reading of the name.
int entryAction(ImageOffset list, int entry);
int entryMinimizedPolicy(ImageOffset list, int entry);
