// vorncheck's command line.
#pragma once

#include "explain.h"

struct CommandLine {
  const char *file = nullptr;
  const char *imageOut = nullptr;
  bool explain = false;
  ClickDescription click;
};

// Fills `options` from the arguments; NULL on success, else what is wrong.
const char *parseCommandLine(int argc, char **argv, CommandLine *options);
