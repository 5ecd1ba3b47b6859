// vorn_soak_host: the soak test's second process. It makes the soak
// windows that the test asks for in a shared report, handles its messages
// until the test posts WM_QUIT to its thread, and writes into the report
// what its windows receive (soak_report.h), and, when the test posts
// SOAK_LIST_MODULES to its thread, which modules it has loaded.
//
//   vorn_soak_host REPORT_SECTION_NAME
//
// Exit code 0 when it ended on WM_QUIT, 2 when it could not start. A hook
// procedure that crashes in this process ends it with another code.
#include <windows.h>

#include <stdio.h>

#include <set>
#include <string>

#include "process_modules.h"
#include "soak_report.h"
#include "soak_windows.h"

namespace {

e2e::SoakReport *openReport(const char *sectionName) {
  HANDLE section = OpenFileMappingA(FILE_MAP_WRITE, FALSE, sectionName);
  if (!section) return NULL;
  // The view lives as long as the process; so does the handle.
  return (e2e::SoakReport *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(e2e::SoakReport));
}

void listModules(e2e::SoakReport *report) {
  std::string names = e2e::describeModules(e2e::loadedModules());
  lstrcpynA(report->modules, names.c_str(), sizeof report->modules);
  InterlockedIncrement(&report->modulesListed);  // a full barrier: the list is seen first
}

int runMessageLoop(e2e::SoakReport *report) {
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, NULL, 0, 0)) != 0) {
    if (got == -1) return 2;
    if (message.hwnd == NULL && message.message == e2e::SOAK_LIST_MODULES) {
      listModules(report);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: vorn_soak_host REPORT_SECTION_NAME\n");
    return 2;
  }
  e2e::SoakReport *report = openReport(argv[1]);
  if (!report) {
    fprintf(stderr, "vorn_soak_host: no report section %s\n", argv[1]);
    return 2;
  }
  if (!e2e::createSoakWindows(report, "host")) {
    fprintf(stderr, "vorn_soak_host: could not make the windows\n");
    return 2;
  }
  return runMessageLoop(report);
}
