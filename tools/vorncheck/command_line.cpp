// One row per option: its name, how many values follow it, and the
// function that takes them. What the options ask for together is checked
// once all of them are read.
#include "command_line.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "config/name_tables.h"
#include "console_text.h"
#include "watch.h"

namespace {

typedef const char *(*TakeOption)(CommandLine *options, char **values);

const int OPTIONAL_NUMBER = -1;

struct OptionRow {
  const char *name;
  int valueCount;  // OPTIONAL_NUMBER: one whole number may follow
  TakeOption take;
  const char *values;  // what follows the name, as the help shows it
  const char *help;
};

// Sets `task`, unless another option has asked for another task.
const char *askFor(CommandLine *options, Task task) {
  if (options->task != TASK_CHECK && options->task != task) {
    return "--explain, --point, --at, --watch, --status, --init, --version and --help cannot be "
           "combined";
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

const char *takeProgram(CommandLine *options, char **values) {
  options->click.program = values[0];
  options->clickGiven = true;
  return nullptr;
}

const char *takeTitle(CommandLine *options, char **values) {
  options->click.title = values[0];
  options->clickGiven = true;
  return nullptr;
}

const char *takeKeys(CommandLine *options, char **values) {
  std::string names = values[0];
  int keys = keysFromNames(&names[0]);
  if (keys & KEYS_UNKNOWN) return "--keys needs Shift, Ctrl, Alt and Win joined by +, or None";
  options->click.keys = keys & ~KEYS_NAMED;
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

// values[0] is the number that follows, or NULL.
const char *takeWatch(CommandLine *options, char **values) {
  long seconds = 0;
  if (values[0] && !readInteger(values[0], 1, LONGEST_WATCH_SECONDS, &seconds)) {
    return "--watch takes a number of seconds from 1 to 86400";
  }
  options->watchSeconds = (int)seconds;
  return askFor(options, TASK_WATCH);
}

const char *takeStatus(CommandLine *options, char **) { return askFor(options, TASK_STATUS); }

const char *takeInit(CommandLine *options, char **) { return askFor(options, TASK_INIT); }

const char *takeVersion(CommandLine *options, char **) { return askFor(options, TASK_VERSION); }

const char *takeHelp(CommandLine *options, char **) { return askFor(options, TASK_HELP); }

const OptionRow OPTIONS[] = {
    {"--image", 1, takeImage, "OUT", "also write the compiled image to OUT, byte for byte"},
    {"--explain", 1, takeExplain, "EVENT",
     "which rule wins for a click of EVENT (NCMBUTTONUP, ...), and why"},
    {"--class", 1, takeClass, "CLASS", "with --explain: the class of the window under the pointer"},
    {"--active", 1, takeActive, "CLASS",
     "with --explain: the class of the window the click is about"},
    {"--parent", 1, takeParent, "CLASS", "with --explain: the class of the outermost parent"},
    {"--hit", 1, takeHit, "NAME", "with --explain: the area under the pointer (default CLIENT)"},
    {"--foreground", 0, takeForeground, "",
     "with --explain: the window is the one in front (the default)"},
    {"--background", 0, takeBackground, "", "with --explain: the window is not the one in front"},
    {"--process", 1, takeProgram, "NAME",
     "with --explain: the program file name of the window (code.exe)"},
    {"--title", 1, takeTitle, "TEXT", "with --explain: the title of the outermost parent"},
    {"--keys", 1, takeKeys, "KEYS", "with --explain: the keys held (Ctrl+Shift; default None)"},
    {"--point", 0, takePoint, "", "what a click on the window under the pointer would do"},
    {"--wait", 1, takeWait, "SECONDS", "with --point: count down first, to move the pointer there"},
    {"--at", 2, takeAt, "X Y", "what a click at the screen point X Y would do"},
    {"--watch", OPTIONAL_NUMBER, takeWatch, "[SECONDS]",
     "a line for every mouse button event while it runs: what vorn does to it, and why"},
    {"--status", 0, takeStatus, "",
     "which vornd runs, which vorn.ini it loads, whether an edit is loaded"},
    {"--init", 0, takeInit, "",
     "write the annotated sample to %APPDATA%\\vorn\\vorn.ini, unless a file is there"},
    {"--version", 0, takeVersion, "", "print vorncheck's version"},
    {"--help", 0, takeHelp, "", "print this help"},
};

const OptionRow *findOption(const char *argument) {
  for (const OptionRow &row : OPTIONS) {
    if (strcmp(argument, row.name) == 0) return &row;
  }
  return nullptr;
}

// What the options ask for together.
const char *checkCombination(const CommandLine &options) {
  bool alone = options.task == TASK_STATUS || options.task == TASK_INIT ||
               options.task == TASK_VERSION || options.task == TASK_HELP;
  if (alone && (options.file || options.imageOut || options.point.waitGiven)) {
    return "--status, --init, --version and --help take no file and no other option";
  }
  bool explaining = options.task == TASK_EXPLAIN;
  if (explaining && options.click.invokedClass == nullptr) return "--explain needs --class";
  if (!explaining && options.clickGiven) {
    return "--class, --active, --parent, --hit, --foreground, --background, --process, --title and "
           "--keys go with --explain";
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
    if (option != nullptr && option->valueCount == OPTIONAL_NUMBER) {
      bool numberFollows = i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9';
      char *values[1] = {numberFollows ? argv[i + 1] : nullptr};
      const char *problem = option->take(options, values);
      if (problem) return problem;
      if (numberFollows) ++i;
    } else if (option != nullptr) {
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

void printUsage(FILE *out) {
  consolePrintf(out,
                "usage: vorncheck [--image OUT] [FILE]\n"
                "       vorncheck --explain EVENT --class CLASS [--active CLASS] [--parent CLASS]\n"
                "                 [--hit NAME] [--foreground|--background] [--process NAME]\n"
                "                 [--title TEXT] [--keys KEYS] [FILE]\n"
                "       vorncheck --point [--wait SECONDS] [FILE]\n"
                "       vorncheck --at X Y [FILE]\n"
                "       vorncheck --watch [SECONDS] [FILE]\n"
                "       vorncheck --status | --init | --version | --help\n");
}

void printHelp(FILE *out) {
  printUsage(out);
  consolePrintf(
      out,
      "\nChecks a vorn.ini: what the hooks will see, and every mistake with its line.\n"
      "Without FILE: the vorn.ini the daemon would load (the Windows directory's,\n"
      "else the one in %%APPDATA%%\\vorn, else the one beside vorncheck.exe).\n\noptions:\n");
  for (const OptionRow &row : OPTIONS) {
    char named[32];
    snprintf(named, sizeof named, "%s%s%s", row.name, row.values[0] ? " " : "", row.values);
    consolePrintf(out, "  %-19s %s\n", named, row.help);
  }
  consolePrintf(out,
                "\nexit codes:\n"
                "  0  the file is clean; --status: vornd runs and has the file as it is now;\n"
                "     --explain, --point, --at, --watch, --version and --help\n"
                "  1  warnings only; --status: no vornd runs, or it runs another configuration,\n"
                "     or it is paused\n"
                "  2  errors, a file that cannot be read, or a wrong command line;\n"
                "     --status: what runs cannot be found out\n");
}
