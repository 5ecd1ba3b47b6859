#include "soak_process.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "configuration_files.h"
#include "message_pump.h"
#include "soak_report.h"
#include "soak_windows.h"

namespace e2e {

namespace {

const DWORD HOST_TIMEOUT_MS = 10000;

std::string hostProgramPath() { return programDirectory() + "\\vorn_soak_host.exe"; }

void requestWindows(SoakReport *report, const std::vector<SoakWindowRequest> &requests,
                    POINT markerCorner) {
  report->requestCount = (int32_t)requests.size();
  for (size_t i = 0; i < requests.size() && i < SOAK_MOST_WINDOWS; ++i) {
    report->requests[i] = requests[i];
  }
  report->markerCorner = markerCorner;
}

std::string describeExitCode(DWORD code) {
  char text[64];
  snprintf(text, sizeof text, "0x%08lX", (unsigned long)code);
  return text;
}

}  // namespace

SoakProcess::SoakProcess(const char *name) : label(name) {}

SoakProcess::~SoakProcess() {
  stop();
  if (local) delete report;
  if (report && !local) UnmapViewOfFile(report);
  if (section) CloseHandle(section);
  if (process) CloseHandle(process);
}

bool SoakProcess::openHere(const std::vector<SoakWindowRequest> &requests, POINT markerCorner) {
  if (requests.size() > SOAK_MOST_WINDOWS || report) return false;
  report = new SoakReport();
  local = true;
  requestWindows(report, requests, markerCorner);
  return createSoakWindows(report, label.c_str());
}

std::string SoakProcess::startHost(const std::vector<SoakWindowRequest> &requests,
                                   POINT markerCorner, const std::string &hostProgram) {
  if (requests.size() > SOAK_MOST_WINDOWS || report) return "too many windows, or started twice";
  char sectionName[64];
  snprintf(sectionName, sizeof sectionName, "vornSoakReport-%lu",
           (unsigned long)GetCurrentProcessId());
  section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(SoakReport),
                               sectionName);
  if (!section) return "no section for the host's report";
  report = (SoakReport *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(SoakReport));
  if (!report) return "the host's report cannot be mapped";
  memset((void *)report, 0, sizeof(SoakReport));
  requestWindows(report, requests, markerCorner);

  std::string program = hostProgram.empty() ? hostProgramPath() : hostProgram;
  std::string commandLine = "\"" + program + "\" " + sectionName;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                      &info)) {
    return "cannot start " + program;
  }
  CloseHandle(info.hThread);
  process = info.hProcess;
  threadId = info.dwThreadId;
  if (!pumpUntil([&] { return report->ready != 0 || !isRunning(); }, HOST_TIMEOUT_MS)) {
    return "the host made no windows within the time";
  }
  if (!isRunning()) return "the host ended while starting";
  return "";
}

bool SoakProcess::isRunning() const {
  if (!process) return true;
  return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

std::string SoakProcess::stop() {
  if (local && report) {
    for (int i = 0; i < windowCount(); ++i) DestroyWindow(window(i));
    DestroyWindow(marker());
    report->requestCount = 0;
    report->marker = 0;
    useSoakReport(NULL);
    return "";
  }
  if (!process) return "";
  bool wasRunning = isRunning();
  PostThreadMessageA(threadId, WM_QUIT, 0, 0);
  std::string problem;
  if (!pumpUntilSignalled(process, HOST_TIMEOUT_MS)) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, HOST_TIMEOUT_MS);
    problem = label + " did not end on WM_QUIT; terminated";
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  if (problem.empty() && code != 0) {
    problem = label + (wasRunning ? " ended with exit code " : " had ended by itself, exit code ") +
              describeExitCode(code);
  }
  CloseHandle(process);
  process = NULL;
  return problem;
}

int SoakProcess::windowCount() const { return report ? report->requestCount : 0; }

HWND SoakProcess::window(int index) const {
  if (index < 0 || index >= windowCount()) return NULL;
  return (HWND)(uintptr_t)report->windows[index];
}

HWND SoakProcess::marker() const { return report ? (HWND)(uintptr_t)report->marker : NULL; }

int SoakProcess::markerMovesAt(POINT point) const {
  if (!report) return 0;
  for (int i = 0; i < SOAK_MARKER_POINTS; ++i) {
    const POINT &known = report->markerPoints[i];
    if (report->markerMoves[i] != 0 && known.x == point.x && known.y == point.y) {
      return report->markerMoves[i];
    }
  }
  return 0;
}

std::string SoakProcess::faults() const {
  if (!report || report->faults == 0) return "";
  std::string text = label + " raised " + std::to_string(report->faults) + " faults:";
  for (LONG i = 0; i < report->faults && i < SOAK_FAULTS_KEPT; ++i) {
    const SoakFault &fault = report->firstFaults[i];
    char line[192];
    snprintf(line, sizeof line, " %s at 0x%llx in %.96s;", describeExitCode(fault.code).c_str(),
             (unsigned long long)fault.address, fault.module);
    text += line;
  }
  return text;
}

std::set<std::string> SoakProcess::hostModules() const {
  std::set<std::string> names;
  if (!process || !report) return names;
  LONG before = report->modulesListed;
  if (!PostThreadMessageA(threadId, SOAK_LIST_MODULES, 0, 0)) return names;
  if (!pumpUntil([&] { return report->modulesListed != before || !isRunning(); },
                 HOST_TIMEOUT_MS) ||
      report->modulesListed == before) {
    return names;
  }
  MemoryBarrier();
  char list[SOAK_MODULES_SIZE];
  memcpy(list, report->modules, sizeof list);
  list[sizeof list - 1] = '\0';
  for (char *name = strtok(list, " "); name; name = strtok(NULL, " ")) names.insert(name);
  return names;
}

int SoakProcess::systemCommandsReceived(int index, WPARAM command) const {
  if (!report || index < 0 || index >= windowCount()) return 0;
  if (command == SC_MAXIMIZE) return report->systemCommands[index][SOAK_MAXIMIZE_COMMAND];
  if (command == SC_RESTORE) return report->systemCommands[index][SOAK_RESTORE_COMMAND];
  return 0;
}

int SoakProcess::countReceived(int index, UINT message) const {
  int count = 0;
  LONG last = logged();
  LONG first = last > SOAK_LOG_CAPACITY ? last - SOAK_LOG_CAPACITY : 0;
  for (LONG n = first; n < last; ++n) {
    SoakLogEntry logEntry = entry(n);
    if (logEntry.window == index && logEntry.message == message) ++count;
  }
  return count;
}

LONG SoakProcess::logged() const { return report ? report->logged : 0; }

SoakLogEntry SoakProcess::entry(LONG n) const {
  MemoryBarrier();
  return soakLogEntry(report, n);
}

}  // namespace e2e
