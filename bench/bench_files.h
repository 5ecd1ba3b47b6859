// Files the measuring programs write and compile: configuration files in the
// temporary folder, compiled by vorncheck's own private compile, so that a
// running daemon's image is never touched. They are written with
// vorntest::writeFileBytes (support/win32_files.h).
#pragma once

#include <string>

// A path in the system's temporary folder for a file called `name`.
std::string temporaryFilePath(const char *name);

// Compiles the configuration file at `path` (absolute) with the daemon's
// loader into a private section; this process's image variables then
// describe it. 1 on success, 0 when the file cannot be opened or compiled.
// The previous image, if any, is released first.
int compileFilePrivately(const std::string &path);

// Number of ListRecords and MatchRecords in this process's image, counted
// along the chains as the hooks follow them.
int compiledListCount(void);
int compiledMatchCount(void);
