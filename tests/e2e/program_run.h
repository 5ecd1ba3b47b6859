// A console program of the stage (vorncheck.exe), run to its end as a
// child process with its output and error output caught in files, while
// this thread goes on handling its messages: the program may ask this
// process's windows things (WM_NCHITTEST) and wait for the answers.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

struct ProgramRun {
  bool ended = false;  // false: it could not start, or had not ended in time (then killed)
  DWORD exitCode = 0;
  // What it wrote to its standard output and error, each line ending in
  // "\n" (a console program's text output ends lines in "\r\n").
  std::string output;
  std::string errors;
  DWORD milliseconds = 0;
};

// Runs `<directory>\<program> <arguments>` in `directory`.
ProgramRun runProgram(const std::string &directory, const char *program,
                      const std::string &arguments, DWORD timeoutMs);

}  // namespace e2e
