#include "program_run.h"

#include <windows.h>

#include <string>

#include "configuration_files.h"
#include "message_pump.h"
#include "support/win32_files.h"

namespace e2e {

namespace {

// A file the child writes to, inherited as one of its standard handles.
HANDLE inheritableFile(const std::string &path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, NULL);
}

std::string withLineFeeds(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at, 1);
  }
  return text;
}

}  // namespace

ProgramRun runProgram(const std::string &directory, const char *program,
                      const std::string &arguments, DWORD timeoutMs) {
  ProgramRun run;
  std::string path = directory + "\\" + program;
  std::string commandLine = "\"" + path + "\" " + arguments;
  std::string outputPath = directory + "\\" + program + ".out";
  std::string errorPath = directory + "\\" + program + ".err";
  HANDLE output = inheritableFile(outputPath);
  HANDLE errors = inheritableFile(errorPath);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = NULL;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION info = {};
  DWORD start = GetTickCount();
  bool started = output != INVALID_HANDLE_VALUE && errors != INVALID_HANDLE_VALUE &&
                 CreateProcessA(path.c_str(), &commandLine[0], NULL, NULL, TRUE, 0, NULL,
                                directory.c_str(), &startup, &info);
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (errors != INVALID_HANDLE_VALUE) CloseHandle(errors);
  if (started) {
    CloseHandle(info.hThread);
    run.ended = pumpUntilSignalled(info.hProcess, timeoutMs);
    if (!run.ended) TerminateProcess(info.hProcess, 1);
    GetExitCodeProcess(info.hProcess, &run.exitCode);
    CloseHandle(info.hProcess);
  }
  run.milliseconds = GetTickCount() - start;
  run.output = withLineFeeds(vorntest::readFileBytes(outputPath));
  run.errors = withLineFeeds(vorntest::readFileBytes(errorPath));
  removeFile(outputPath);
  removeFile(errorPath);
  return run;
}

}  // namespace e2e
