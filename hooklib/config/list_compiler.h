#pragma once

// Compiles sections List1, List2, ... into ListRecords, up to the first one
// that is not among `sectionNames` (the double-NUL-terminated list of the
// file's section names).
void compileLists(const char *sectionNames);
