// vorncheck's command line: what each option takes, and which options go
// together.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "config/name_tables.h"
#include "support/printed_text.h"

namespace {

// Parses `arguments` (after the program's name) into `options`; the
// problem, or "" when there is none.
std::string parse(std::vector<const char *> arguments, CommandLine *options) {
  std::vector<char *> argv = {const_cast<char *>("vorncheck")};
  for (const char *argument : arguments) argv.push_back(const_cast<char *>(argument));
  const char *problem = parseCommandLine((int)argv.size(), argv.data(), options);
  return problem ? problem : "";
}

std::string problemOf(std::vector<const char *> arguments) {
  CommandLine options;
  return parse(arguments, &options);
}

TEST(VorncheckCommandLine, CheckingAFileIsTheDefault) {
  CommandLine options;
  EXPECT_EQ("", parse({"--image", "out.img", "my.ini"}, &options));
  EXPECT_EQ(TASK_CHECK, options.task);
  EXPECT_STREQ("my.ini", options.file);
  EXPECT_STREQ("out.img", options.imageOut);
}

TEST(VorncheckCommandLine, ExplainTakesAnEventAndClassNames) {
  CommandLine options;
  EXPECT_EQ("", parse({"--explain", "NCMBUTTONUP", "--class", "Edit", "--active", "Notepad",
                       "--hit", "CAPTION", "--background"},
                      &options));
  EXPECT_EQ(TASK_EXPLAIN, options.task);
  EXPECT_EQ(eventSlotIndex("NCMBUTTONUP"), options.click.eventSlot);
  EXPECT_STREQ("Edit", options.click.invokedClass);
  EXPECT_STREQ("Notepad", options.click.activeClass);
  EXPECT_EQ(nullptr, options.click.parentClass);
  EXPECT_EQ(HTCAPTION, options.click.hitTest);
  EXPECT_EQ(0, options.click.foreground);
  EXPECT_EQ("--explain needs --class", problemOf({"--explain", "MBUTTONUP"}));
  EXPECT_EQ("--explain needs an event name such as NCMBUTTONUP",
            problemOf({"--explain", "XBUTTONUP", "--class", "Edit"}));
  EXPECT_EQ("--hit needs a hit-test name such as CAPTION",
            problemOf({"--explain", "MBUTTONUP", "--class", "Edit", "--hit", "caption"}));
}

TEST(VorncheckCommandLine, PointReadsThePointerAfterTheWait) {
  CommandLine options;
  EXPECT_EQ("", parse({"--point", "--wait", "5", "vorn.ini"}, &options));
  EXPECT_EQ(TASK_POINT, options.task);
  EXPECT_TRUE(options.point.fromCursor);
  EXPECT_EQ(5, options.point.waitSeconds);
  EXPECT_STREQ("vorn.ini", options.file);
  CommandLine noWait;
  EXPECT_EQ("", parse({"--point"}, &noWait));
  EXPECT_EQ(0, noWait.point.waitSeconds);
  for (const char *seconds : {"-1", "601", "5s", "", "1e3"}) {
    EXPECT_EQ("--wait needs a number of seconds from 0 to 600",
              problemOf({"--point", "--wait", seconds}))
        << seconds;
  }
  EXPECT_EQ("", problemOf({"--point", "--wait", "600"}));
  EXPECT_EQ("--wait goes with --point", problemOf({"--wait", "3"}));
  EXPECT_EQ("--wait goes with --point", problemOf({"--at", "1", "2", "--wait", "3"}));
}

TEST(VorncheckCommandLine, AtTakesAScreenPoint) {
  CommandLine options;
  EXPECT_EQ("", parse({"--at", "-1200", "340", "vorn.ini"}, &options));
  EXPECT_EQ(TASK_POINT, options.task);
  EXPECT_FALSE(options.point.fromCursor);
  EXPECT_EQ(-1200, options.point.at.x);
  EXPECT_EQ(340, options.point.at.y);
  EXPECT_STREQ("vorn.ini", options.file);
  EXPECT_EQ("an option is missing its value", problemOf({"--at", "12"}));
  EXPECT_EQ("--at needs two whole numbers: the screen point X Y", problemOf({"--at", "12", "3.5"}));
  EXPECT_EQ("--at needs two whole numbers: the screen point X Y", problemOf({"--at", "x", "3"}));
}

// The seconds may be left out: a number right after --watch is its
// duration, anything else the file.
TEST(VorncheckCommandLine, WatchTakesAnOptionalNumberOfSeconds) {
  const struct {
    std::vector<const char *> arguments;
    int seconds;
    const char *file;
  } cases[] = {
      {{"--watch"}, 0, nullptr},
      {{"--watch", "30"}, 30, nullptr},
      {{"--watch", "30", "vorn.ini"}, 30, "vorn.ini"},
      {{"--watch", "vorn.ini"}, 0, "vorn.ini"},
      {{"vorn.ini", "--watch", "86400"}, 86400, "vorn.ini"},
  };
  for (const auto &c : cases) {
    CommandLine options;
    EXPECT_EQ("", parse(c.arguments, &options)) << c.arguments[c.arguments.size() - 1];
    EXPECT_EQ(TASK_WATCH, options.task);
    EXPECT_EQ(c.seconds, options.watchSeconds);
    EXPECT_STREQ(c.file, options.file);
  }
  for (const char *seconds : {"0", "86401", "5s"}) {
    EXPECT_EQ("--watch takes a number of seconds from 1 to 86400", problemOf({"--watch", seconds}))
        << seconds;
  }
}

TEST(VorncheckCommandLine, TasksAndTheirOptionsDoNotMix) {
  EXPECT_EQ("--point and --at cannot be combined", problemOf({"--point", "--at", "1", "2"}));
  const char *tasks =
      "--explain, --point, --at, --watch, --status, --init, --version and --help cannot be "
      "combined";
  EXPECT_EQ(tasks, problemOf({"--explain", "MBUTTONUP", "--class", "Edit", "--point"}));
  EXPECT_EQ(tasks, problemOf({"--at", "1", "2", "--explain", "MBUTTONUP", "--class", "Edit"}));
  EXPECT_EQ(tasks, problemOf({"--status", "--point"}));
  EXPECT_EQ(tasks, problemOf({"--version", "--help"}));
  EXPECT_EQ(tasks, problemOf({"--watch", "--point"}));
  const char *clickOptions =
      "--class, --active, --parent, --hit, --foreground, --background, --process, --title and "
      "--keys go with --explain";
  EXPECT_EQ(clickOptions, problemOf({"--class", "Edit"}));
  EXPECT_EQ(clickOptions, problemOf({"--point", "--foreground"}));
  EXPECT_EQ(clickOptions, problemOf({"--at", "1", "2", "--hit", "CAPTION"}));
  EXPECT_EQ("unknown option", problemOf({"--pointer"}));
  EXPECT_EQ("more than one file given", problemOf({"a.ini", "b.ini"}));
}

TEST(VorncheckCommandLine, StatusInitVersionAndHelpStandAlone) {
  const Task expected[] = {TASK_STATUS, TASK_INIT, TASK_VERSION, TASK_HELP};
  const char *names[] = {"--status", "--init", "--version", "--help"};
  for (int i = 0; i < 4; ++i) {
    CommandLine options;
    EXPECT_EQ("", parse({names[i]}, &options)) << names[i];
    EXPECT_EQ(expected[i], options.task) << names[i];
    EXPECT_EQ("--status, --init, --version and --help take no file and no other option",
              problemOf({names[i], "vorn.ini"}))
        << names[i];
    EXPECT_EQ("--status, --init, --version and --help take no file and no other option",
              problemOf({"--image", "out.img", names[i]}))
        << names[i];
  }
}

// Every option has its line in the help, starting with its name, and the
// three exit codes are explained.
TEST(VorncheckCommandLine, HelpHasALineForEachOptionAndTheExitCodes) {
  std::string help = vorntest::printedText("vorncheck-help.txt", printHelp);
  const char *options[] = {"--image OUT",    "--explain EVENT", "--class CLASS", "--active CLASS",
                           "--parent CLASS", "--hit NAME",      "--foreground",  "--background",
                           "--point",        "--wait SECONDS",  "--at X Y",      "--status",
                           "--init",         "--version",       "--help"};
  for (const char *option : options) {
    std::string line = std::string("\n  ") + option + " ";
    size_t at = help.find(line);
    ASSERT_NE(std::string::npos, at) << option << " has no line of its own:\n" << help;
    EXPECT_EQ(std::string::npos, help.find(line, at + 1)) << option << " has two lines";
    size_t end = help.find('\n', at + 1);
    EXPECT_GT(end - at, line.size() + 10) << option << " is not explained";
  }
  for (const char *code : {"\n  0  ", "\n  1  ", "\n  2  "}) {
    EXPECT_NE(std::string::npos, help.find(code)) << "exit code" << code << "is not explained";
  }
  std::string usage = vorntest::printedText("vorncheck-usage.txt", printUsage);
  EXPECT_EQ(0u, help.find(usage)) << "the help starts with the usage";
  EXPECT_NE(std::string::npos, usage.find("--status | --init | --version | --help"));
}

}  // namespace
