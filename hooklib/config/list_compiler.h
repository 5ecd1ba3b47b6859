#pragma once

// Compiles sections List1, List2, ... into ListRecords, up to the first one
// that is not among `sectionNames` (the double-NUL-terminated list of the
// file's section names).
void compileLists(const char *sectionNames);

// Takes the ".Foreground" or ".NotForeground" suffix off a rule's N.Match
// value, leaving the match name, and returns the ForegroundCondition it
// gives. Only one suffix is taken off, ".Foreground" first.
int takeForegroundCondition(char *matchValue);
