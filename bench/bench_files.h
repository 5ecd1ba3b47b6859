// Files the measuring programs write and compile: configuration files in the
// temporary folder, compiled the way vorncheck does, into a private section,
// so that a running daemon's image is never touched.
#pragma once

#include <string>

// A path in the system's temporary folder for a file called `name`.
std::string temporaryFilePath(const char *name);

// Writes `text` to `path`, replacing what was there. 1 on success.
int writeTextFile(const std::string &path, const std::string &text);

// Compiles the configuration file at `path` (absolute) with the daemon's
// loader into a private section; this process's image variables then
// describe it. 1 on success. The previous image, if any, is released first.
int compileFilePrivately(const std::string &path);

// Number of ListRecords and MatchRecords in this process's image.
int compiledListCount(void);
int compiledMatchCount(void);
