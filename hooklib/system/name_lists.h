// Lists of names packed one after the other, each ended by its NUL and the
// list by an empty name ("LEFT\0RIGHT\0"): a table of names that costs
// neither a pointer nor a relocation per name.
#pragma once

// The position of the entry equal to `name` (exact, case-sensitive), or -1;
// also -1 for a NULL list or name, and for the empty name.
int nameListIndex(const char *list, const char *name);

// The entry at `index`, or NULL when the list has no such entry.
const char *nameListAt(const char *list, int index);
