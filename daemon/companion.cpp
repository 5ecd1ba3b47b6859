#include "companion.h"

#include <windows.h>

#include "kernel_functions.h"
#include "process_trust.h"
#include "program_folder.h"
#include "vorn_names.h"

namespace {

// Command lines are at most 32767 characters; the path adds its own.
char companionLine[32768 + MAX_PATH + 3];

int runsUnderWow64(const KernelFunctions &kernel) {
  BOOL wow64 = FALSE;
  return kernel.IsWow64Process(kernel.GetCurrentProcess(), &wow64) && wow64;
}

// This program's command line after argv[0], found as the system's own
// parser finds argv[0]: up to the closing quote when it starts with one,
// else up to the first blank. What follows, blanks included, is kept.
const char *argumentsOf(const char *commandLine) {
  const char *c = commandLine;
  if (*c == '"') {
    ++c;
    while (*c && *c != '"') ++c;
    if (*c) ++c;
  } else {
    while (*c && *c != ' ' && *c != '\t') ++c;
  }
  return c;
}

int isFile(const KernelFunctions &kernel, const char *path) {
  DWORD attributes = kernel.GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int companionCommandLine(const char *commandLine, const char *companionPath, char *buffer,
                         int size) {
  int at = 0;
  if (at < size) buffer[at++] = '"';
  for (const char *c = companionPath; *c && at < size; ++c) buffer[at++] = *c;
  if (at < size) buffer[at++] = '"';
  for (const char *c = argumentsOf(commandLine); *c && at < size; ++c) buffer[at++] = *c;
  if (at >= size) return 0;
  buffer[at] = '\0';
  return 1;
}

int startCompanion(void) {
  KernelFunctions kernel;
  if (!findKernelFunctions(&kernel) || !runsUnderWow64(kernel)) return 0;
  // `path` opens; `shown` is the name the system gives the companion's
  // process, which its window is told by.
  char path[MAX_PATH];
  char shown[MAX_PATH];
  if (!programFolderFile(VORN_COMPANION_FILE, path, shown) || !isFile(kernel, path)) return 0;
  if (!companionCommandLine(kernel.GetCommandLineA(), path, companionLine,
                            (int)sizeof companionLine)) {
    return 0;
  }
  // Looked at before the start: once started, the companion may itself
  // become the running instance.
  // Only a window of the companion itself counts (process_trust.h).
  int onlySignals =
      findProgramWindow(VORN_COMPANION_CONTROL_CLASS, VORN_COMPANION_CONTROL_TITLE, shown) != NULL;
  STARTUPINFOA startup;
  char *bytes = (char *)&startup;
  for (unsigned i = 0; i < sizeof startup; ++i) bytes[i] = 0;
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  if (!kernel.CreateProcessA(path, companionLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                             &started)) {
    return 0;
  }
  kernel.CloseHandle(started.hThread);
  if (onlySignals) kernel.WaitForSingleObject(started.hProcess, COMPANION_WAIT_MS);
  kernel.CloseHandle(started.hProcess);
  return 1;
}

HWND findCompanionWindow(void) {
  KernelFunctions kernel;
  if (!findKernelFunctions(&kernel) || !runsUnderWow64(kernel)) return NULL;
  char path[MAX_PATH];
  char shown[MAX_PATH];
  if (!programFolderFile(VORN_COMPANION_FILE, path, shown)) return NULL;
  return findProgramWindow(VORN_COMPANION_CONTROL_CLASS, VORN_COMPANION_CONTROL_TITLE, shown);
}
