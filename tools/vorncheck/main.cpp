// vorncheck: tells exactly what a vorn.ini does.
//
//   vorncheck [FILE]                 compile FILE with the daemon's own loader,
//                                    show what the hooks will see, and report
//                                    every mistake with its line number
//   vorncheck --image OUT [FILE]     also write every byte of the image to OUT
//   vorncheck --explain EVENT --class C [--active C] [--parent C] [--hit NAME]
//             [--foreground|--background] [FILE]
//                                    which rule wins for such a click, and why
//   vorncheck --point [--wait SECONDS] [FILE]
//   vorncheck --at X Y [FILE]        what a click on the window under the
//                                    pointer (or at the screen point X Y)
//                                    would do
//   vorncheck --watch [SECONDS] [FILE]
//                                    a line for every mouse button event
//                                    while it runs: what vorn does, and why
//   vorncheck --status               which vornd runs, which vorn.ini it
//                                    loads, and whether an edit is loaded
//   vorncheck --init                 write the annotated sample to
//                                    %APPDATA%\vorn\vorn.ini, unless a file
//                                    is there already
//   vorncheck --version | --help
//
// Without FILE: the vorn.ini the daemon would use. Exit code: 0 clean,
// 1 warnings, 2 errors (and 2 for a file that cannot be read or a wrong
// command line); --explain, --point, --at, --watch, --version and --help
// end with 0; --status: 0 running and current, 1 otherwise, 2 when it
// cannot tell; --init: 0 when the file is there afterwards, 2 when it
// cannot be made.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "command_line.h"
#include "config/ini_location.h"
#include "config/loader_state.h"
#include "config_checks.h"
#include "console_text.h"
#include "daemon_status.h"
#include "explain.h"
#include "image_report.h"
#include "ini_document.h"
#include "point_report.h"
#include "pointer_wait.h"
#include "private_compile.h"
#include "sample_init.h"
#include "watch.h"
#include "vorn_version.h"

namespace {

const int exitError = 2;

int usage(const char *problem) {
  consolePrintf(stderr, "vorncheck: %s\n", problem);
  printUsage(stderr);
  consolePrintf(stderr, "vorncheck --help tells more\n");
  return exitError;
}

// The file the daemon would load: the Windows directory's, else the one in
// %APPDATA%\vorn, else the one beside this program.
int defaultFile(char *path) {
  HANDLE file = locateConfigurationFile();
  if (file == INVALID_HANDLE_VALUE) return 0;
  CloseHandle(file);
  lstrcpyA(path, iniPath);
  return 1;
}

int checkFile(const IniDocument &doc, const char *file, const char *fullPath) {
  Diagnostics diagnostics;
  checkConfiguration(doc, diagnostics);
  consolePrintf(stdout, "file: %s\n", fullPath);
  printImageReport(stdout);
  diagnostics.print(stdout, file);
  consolePrintf(stdout, "%d error%s, %d warning%s\n", diagnostics.errors(),
                diagnostics.errors() == 1 ? "" : "s", diagnostics.warnings(),
                diagnostics.warnings() == 1 ? "" : "s");
  return diagnostics.exitCode();
}

int explainPointer(const PointRequest &request, const char *file) {
  POINT point = request.at;
  if (request.fromCursor && !pointerAfterCountDown(request.waitSeconds, stderr, &point)) {
    consolePrintf(stderr, "vorncheck: the system cannot tell where the pointer is\n");
    return exitError;
  }
  return explainPoint(point, file, stdout);
}

}  // namespace

int main(int argc, char **argv) {
  CommandLine options;
  const char *problem = parseCommandLine(argc, argv, &options);
  if (problem) return usage(problem);
  switch (options.task) {
    case TASK_HELP:
      printHelp(stdout);
      return 0;
    case TASK_VERSION:
      consolePrintf(stdout, "vorncheck %s (%d-bit)\n", VORN_VERSION, (int)(sizeof(void *) * 8));
      return 0;
    case TASK_STATUS:
      return reportStatus(stdout);
    case TASK_INIT:
      return writeSampleConfiguration(stdout);
    default:
      break;
  }

  char found[MAX_PATH];
  const char *file = options.file;
  if (!file) {
    if (!defaultFile(found)) {
      consolePrintf(
          stderr,
          "vorncheck: no vorn.ini in the Windows directory, in %%APPDATA%%\\vorn or beside "
          "vorncheck (vorncheck --init writes one into %%APPDATA%%\\vorn)\n");
      return exitError;
    }
    file = found;
  }

  char fullPath[MAX_PATH];
  int compiled = compilePrivately(file, fullPath);
  if (compiled == 0) {
    consolePrintf(stderr, "vorncheck: cannot open %s\n", file);
    return exitError;
  }
  if (compiled < 0) {
    consolePrintf(stderr, "vorncheck: %s could not be compiled (out of memory?)\n", fullPath);
    return exitError;
  }
  IniDocument doc;
  if (!doc.load(fullPath)) {
    consolePrintf(stderr, "vorncheck: cannot read %s\n", fullPath);
    return exitError;
  }
  if (options.imageOut && !saveImage(options.imageOut)) {
    consolePrintf(stderr, "vorncheck: cannot write %s\n", options.imageOut);
    return exitError;
  }
  switch (options.task) {
    case TASK_EXPLAIN:
      return explainClick(options.click, doc, stdout);
    case TASK_POINT:
      return explainPointer(options.point, options.file);
    case TASK_WATCH:
      return watchClicks(options.watchSeconds, stdout);
    default:
      return checkFile(doc, file, fullPath);
  }
}
