#include "command_line.h"

#include <string.h>

#include "config/name_tables.h"

const char *parseCommandLine(int argc, char **argv, CommandLine *options) {
  bool classGiven = false;
  for (int i = 1; i < argc; ++i) {
    const char *argument = argv[i];
    const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
    auto takesValue = [&](const char **into) -> const char * {
      if (!value) return "an option is missing its value";
      *into = value;
      ++i;
      return nullptr;
    };
    const char *problem = nullptr;
    const char *text = nullptr;
    if (strcmp(argument, "--image") == 0) {
      problem = takesValue(&options->imageOut);
    } else if (strcmp(argument, "--explain") == 0) {
      options->explain = true;
      if (!(problem = takesValue(&text))) {
        options->click.eventSlot = eventSlotIndex(text);
        if (options->click.eventSlot < 0) return "--explain needs an event name such as NCMBUTTONUP";
      }
    } else if (strcmp(argument, "--class") == 0) {
      problem = takesValue(&options->click.invokedClass);
      classGiven = true;
    } else if (strcmp(argument, "--active") == 0) {
      problem = takesValue(&options->click.activeClass);
    } else if (strcmp(argument, "--parent") == 0) {
      problem = takesValue(&options->click.parentClass);
    } else if (strcmp(argument, "--hit") == 0) {
      if (!(problem = takesValue(&text))) {
        options->click.hitTest = hitTestCodeFromName(text);
        if (options->click.hitTest < 0) return "--hit needs a hit-test name such as CAPTION";
      }
    } else if (strcmp(argument, "--foreground") == 0) {
      options->click.foreground = 1;
    } else if (strcmp(argument, "--background") == 0) {
      options->click.foreground = 0;
    } else if (argument[0] == '-' && argument[1] == '-') {
      return "unknown option";
    } else if (options->file) {
      return "more than one file given";
    } else {
      options->file = argument;
    }
    if (problem) return problem;
  }
  if (options->explain && !classGiven) return "--explain needs --class";
  if (!options->explain && (classGiven || options->click.activeClass ||
                            options->click.parentClass || options->click.hitTest != HTCLIENT)) {
    return "--class, --active, --parent and --hit go with --explain";
  }
  return nullptr;
}
