#include "daemon_process.h"

#include <windows.h>

#include <string>
#include <vector>

#include "message_pump.h"
#include "vorn_names.h"

namespace e2e {

namespace {

const DWORD STOP_TIMEOUT_MS = 10000;

struct DialogSearch {
  DWORD processId;
  HWND dialog;
};

BOOL CALLBACK findDialogOfProcess(HWND window, LPARAM lParam) {
  DialogSearch *search = (DialogSearch *)lParam;
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || lstrcmpA(className, "#32770") != 0) return TRUE;
  search->dialog = window;
  return FALSE;
}

// Why a vornd did not end: a message box it shows, most likely.
std::string whyStillRunning(HANDLE process) {
  DialogSearch search = {GetProcessId(process), NULL};
  EnumWindows(findDialogOfProcess, (LPARAM)&search);
  if (!search.dialog) return "a vornd did not end on --stop; ";
  char title[64] = "";
  GetWindowTextA(search.dialog, title, sizeof title);
  return std::string("a vornd did not end on --stop: it shows a message box \"") + title + "\"; ";
}

}  // namespace

HWND findControlWindow() { return FindWindowA(VORN_CONTROL_CLASS, VORN_CONTROL_TITLE); }

DaemonProcesses::DaemonProcesses(std::string stage) : stageDirectory(std::move(stage)) {}

DaemonProcesses::~DaemonProcesses() {
  for (HANDLE process : started) CloseHandle(process);
}

bool DaemonProcesses::start(const char *arguments, HANDLE *process) {
  std::string program = stageDirectory + "\\" VORN_DAEMON_FILE;
  std::string commandLine = "\"" + program + "\"";
  if (arguments && arguments[0]) commandLine += std::string(" ") + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL,
                      stageDirectory.c_str(), &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  started.push_back(info.hProcess);
  if (process) *process = info.hProcess;
  return true;
}

bool DaemonProcesses::run(const char *arguments, DWORD timeoutMs, DWORD *exitCode) {
  HANDLE process = NULL;
  return start(arguments, &process) && waitForExit(process, timeoutMs, exitCode);
}

bool DaemonProcesses::waitForExit(HANDLE process, DWORD timeoutMs, DWORD *exitCode) {
  if (!pumpUntilSignalled(process, timeoutMs)) return false;
  if (exitCode) GetExitCodeProcess(process, exitCode);
  return true;
}

bool DaemonProcesses::isRunning(HANDLE process) {
  return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

std::string DaemonProcesses::stopAll() {
  std::string problems;
  bool anyRunning = false;
  for (HANDLE process : started) anyRunning = anyRunning || isRunning(process);
  if (anyRunning && !findControlWindow()) problems += "a vornd runs without its control window; ";
  if (anyRunning && findControlWindow()) run("--stop", STOP_TIMEOUT_MS, NULL);
  std::vector<HANDLE> stopping = started;
  for (HANDLE process : stopping) {
    if (!waitForExit(process, STOP_TIMEOUT_MS, NULL)) problems += terminate(process);
  }
  if (!problems.empty()) removeHooksLeftBehind();
  for (HANDLE process : started) CloseHandle(process);
  started.clear();
  return problems;
}

std::string DaemonProcesses::terminate(HANDLE process) {
  std::string why = whyStillRunning(process);
  TerminateProcess(process, 1);
  WaitForSingleObject(process, STOP_TIMEOUT_MS);
  return why;
}

void DaemonProcesses::removeHooksLeftBehind() {
  HANDLE cleaner = NULL;
  if (!start("", &cleaner)) return;
  if (pumpUntil([] { return findControlWindow() != NULL; }, STOP_TIMEOUT_MS)) {
    run("--stop", STOP_TIMEOUT_MS, NULL);
  }
  if (!waitForExit(cleaner, STOP_TIMEOUT_MS, NULL)) terminate(cleaner);
}

}  // namespace e2e
