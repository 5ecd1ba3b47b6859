// vorncheck's command line.
#pragma once

#include <windows.h>

#include <stdio.h>

#include "explain.h"

// What vorncheck is asked to do with the file.
enum Task {
  TASK_CHECK = 0,  // report what the hooks will see, and every mistake
  TASK_EXPLAIN,    // --explain: the rule walk for a click described by class names
  TASK_POINT,      // --point or --at: what a click on a real window would do
  TASK_STATUS,     // --status: which daemons run, and whether they run the file as it is now
  TASK_WATCH,      // --watch: a line for every mouse button event while it runs
  TASK_INIT,       // --init: the sample into %APPDATA%\vorn\vorn.ini, where none is yet
  TASK_VERSION,    // --version
  TASK_HELP,       // --help
};

// Where --point and --at look.
struct PointRequest {
  bool fromCursor = false;  // --point: where the pointer is (after the wait)
  int waitSeconds = 0;      // --wait: the count-down before the pointer is read
  bool waitGiven = false;
  bool atGiven = false;
  POINT at = {0, 0};  // --at X Y
};

struct CommandLine {
  Task task = TASK_CHECK;
  const char *file = nullptr;
  const char *imageOut = nullptr;
  ClickDescription click;
  bool clickGiven = false;  // any of the options that describe the click
  PointRequest point;
  int watchSeconds = 0;  // --watch SECONDS; 0: until stopped
};

// The longest count-down --wait accepts, in seconds.
const int LONGEST_WAIT_SECONDS = 600;

// Fills `options` from the arguments; NULL on success, else what is wrong.
const char *parseCommandLine(int argc, char **argv, CommandLine *options);

// The usage lines, then one line for each option, then the exit codes.
void printHelp(FILE *out);
// The first lines of printHelp, for a command line that is wrong.
void printUsage(FILE *out);
