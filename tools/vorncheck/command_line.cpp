// One row per option: its name, how many values follow it, and the
// function that takes them. What the options ask for together is checked
// once all of them are read.
#include "command_line.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "config/name_tables.h"

namespace {

typedef const char *(*TakeOption)(CommandLine *options, char **values);

struct OptionRow {
  const char *name;
  int valueCount;
  TakeOption take;
};

// Sets `task`, unless another option has asked for another task.
const char *askFor(CommandLine *options, Task task) {
  if (options->task != TASK_CHECK && options->task != task) {
    return "--explain, --point and --at cannot be combined";
  }
  options->task = task;
  return nullptr;
}

// A whole decimal number within [lowest, highest].
bool readInteger(const char *text, long lowest, long highest, long *value) {
  if (text == nullptr || text[0] == '\0') return false;
  char *end = nullptr;
  errno = 0;
  long number = strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || number < lowest || number > highest) return false;
  *value = number;
  return true;
}

const char *takeImage(CommandLine *options, char **values) {
  options->imageOut = values[0];
  return nullptr;
}

const char *takeExplain(CommandLine *options, char **values) {
  options->click.eventSlot = eventSlotIndex(values[0]);
  if (options->click.eventSlot < 0) return "--explain needs an event name such as NCMBUTTONUP";
  return askFor(options, TASK_EXPLAIN);
}

const char *takeClass(CommandLine *options, char **values) {
  options->click.invokedClass = values[0];
  options->clickGiven = true;
  return nullptr;
}

const char *takeActive(CommandLine *options, char **values) {
  options->click.activeClass = values[0];
  options->clickGiven = true;
  return nullptr;
}

const char *takeParent(CommandLine *options, char **values) {
  options->click.parentClass = values[0];
  options->clickGiven = true;
  return nullptr;
}

const char *takeHit(CommandLine *options, char **values) {
  options->click.hitTest = hitTestCodeFromName(values[0]);
  if (options->click.hitTest < 0) return "--hit needs a hit-test name such as CAPTION";
  options->clickGiven = true;
  return nullptr;
}

const char *takeForeground(CommandLine *options, char **) {
  options->click.foreground = 1;
  options->clickGiven = true;
  return nullptr;
}

const char *takeBackground(CommandLine *options, char **) {
  options->click.foreground = 0;
  options->clickGiven = true;
  return nullptr;
}

const char *takePoint(CommandLine *options, char **) {
  options->point.fromCursor = true;
  return askFor(options, TASK_POINT);
}

const char *takeWait(CommandLine *options, char **values) {
  long seconds = 0;
  if (!readInteger(values[0], 0, LONGEST_WAIT_SECONDS, &seconds)) {
    return "--wait needs a number of seconds from 0 to 600";
  }
  options->point.waitSeconds = (int)seconds;
  options->point.waitGiven = true;
  return nullptr;
}

const char *takeAt(CommandLine *options, char **values) {
  long x = 0, y = 0;
  const long farthest = 1000000;  // beyond any screen: a typing slip, not a point
  if (!readInteger(values[0], -farthest, farthest, &x) ||
      !readInteger(values[1], -farthest, farthest, &y)) {
    return "--at needs two whole numbers: the screen point X Y";
  }
  options->point.at.x = x;
  options->point.at.y = y;
  options->point.atGiven = true;
  return askFor(options, TASK_POINT);
}

const OptionRow OPTIONS[] = {
    {"--image", 1, takeImage},
    {"--explain", 1, takeExplain},
    {"--class", 1, takeClass},
    {"--active", 1, takeActive},
    {"--parent", 1, takeParent},
    {"--hit", 1, takeHit},
    {"--foreground", 0, takeForeground},
    {"--background", 0, takeBackground},
    {"--point", 0, takePoint},
    {"--wait", 1, takeWait},
    {"--at", 2, takeAt},
};

const OptionRow *findOption(const char *argument) {
  for (const OptionRow &row : OPTIONS) {
    if (strcmp(argument, row.name) == 0) return &row;
  }
  return nullptr;
}

// What the options ask for together.
const char *checkCombination(const CommandLine &options) {
  bool explaining = options.task == TASK_EXPLAIN;
  if (explaining && options.click.invokedClass == nullptr) return "--explain needs --class";
  if (!explaining && options.clickGiven) {
    return "--class, --active, --parent, --hit, --foreground and --background go with --explain";
  }
  if (options.point.waitGiven && !options.point.fromCursor) return "--wait goes with --point";
  if (options.point.fromCursor && options.point.atGiven) {
    return "--point and --at cannot be combined";
  }
  return nullptr;
}

}  // namespace

const char *parseCommandLine(int argc, char **argv, CommandLine *options) {
  for (int i = 1; i < argc; ++i) {
    const char *argument = argv[i];
    const OptionRow *option = findOption(argument);
    if (option != nullptr) {
      if (i + option->valueCount >= argc) return "an option is missing its value";
      const char *problem = option->take(options, argv + i + 1);
      if (problem) return problem;
      i += option->valueCount;
    } else if (argument[0] == '-' && argument[1] == '-') {
      return "unknown option";
    } else if (options->file) {
      return "more than one file given";
    } else {
      options->file = argument;
    }
  }
  return checkCombination(*options);
}
