// Processes: the command line, the current process, whether it runs under
// WOW64 (a 32-bit program on 64-bit Windows), and CreateProcessA, which
// records what it was asked and starts nothing.
#include <windows.h>

#include <string.h>
#include <sys/stat.h>

#include <mutex>
#include <string>
#include <vector>

#include "handles.h"
#include "host_paths.h"
#include "process_images.h"
#include "processes.h"
#include "user32/desktop_state.h"
#include "winsim/control_kernel.h"

namespace {

const char DEFAULT_COMMAND_LINE[] = "vornd.exe";

struct StartedProcess {
  int record;
};

std::mutex processLock;
WinsimWindowsBitness bitness = WINSIM_WINDOWS_32;
std::string commandLine = DEFAULT_COMMAND_LINE;
std::vector<WinsimProcessRecord> records;
bool startedProcessesStay = false;

void closeProcess(void *object) { delete (StartedProcess *)object; }
void closeThread(void *) {}

const winsim::HandleKind processKind = {"process", closeProcess};
const winsim::HandleKind threadKind = {"thread", closeThread};

void copyText(char *to, const char *from) {
  to[0] = '\0';
  if (from) {
    strncpy(to, from, WINSIM_PROCESS_TEXT - 1);
    to[WINSIM_PROCESS_TEXT - 1] = '\0';
  }
}

// The program a command line names when no application name is given: its
// first token, quoted or up to the first blank.
std::string firstToken(const char *line) {
  if (!line) return std::string();
  if (line[0] == '"') {
    const char *end = strchr(line + 1, '"');
    return end ? std::string(line + 1, end) : std::string(line + 1);
  }
  size_t length = strcspn(line, " \t");
  return std::string(line, length);
}

bool programExists(const std::string &name) {
  std::string path;
  if (name.empty() || !winsim::hostPathFor(name.c_str(), &path)) return false;
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

namespace winsim {

bool hasIsWow64Process() {
  std::lock_guard<std::mutex> guard(processLock);
  return bitness != WINSIM_WINDOWS_WITHOUT_WOW64;
}

void resetProcesses() {
  std::lock_guard<std::mutex> guard(processLock);
  bitness = WINSIM_WINDOWS_32;
  commandLine = DEFAULT_COMMAND_LINE;
  records.clear();
  startedProcessesStay = false;
}

}  // namespace winsim

extern "C" {

LPSTR WINAPI GetCommandLineA(void) {
  std::lock_guard<std::mutex> guard(processLock);
  return &commandLine[0];
}

HANDLE WINAPI GetCurrentProcess(void) { return (HANDLE)(intptr_t)-1; }

BOOL WINAPI IsWow64Process(HANDLE process, PBOOL wow64) {
  std::lock_guard<std::mutex> guard(processLock);
  if (bitness == WINSIM_WINDOWS_WITHOUT_WOW64) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
  }
  DWORD processId = winsim::processIdOfHandle(process);
  if (!processId || !wow64) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // The simulated programs are 32-bit ones, which run under WOW64 on
  // 64-bit Windows, except those a test gave the other bitness: 64-bit
  // programs beside them.
  *wow64 = bitness == WINSIM_WINDOWS_64 && !winsim::isOtherBitness(processId);
  return TRUE;
}

BOOL WINAPI CreateProcessA(LPCSTR application, LPSTR line, LPSECURITY_ATTRIBUTES processSecurity,
                           LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles, DWORD flags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startup,
                           LPPROCESS_INFORMATION information) {
  (void)processSecurity;
  (void)threadSecurity;
  (void)environment;
  WinsimProcessRecord record;
  memset(&record, 0, sizeof record);
  copyText(record.application, application);
  copyText(record.commandLine, line);
  copyText(record.currentDirectory, currentDirectory);
  record.flags = flags;
  record.inheritHandles = inheritHandles;
  bool valid = startup && information && (application || line);
  record.started = valid && programExists(application ? application : firstToken(line));
  int index;
  {
    std::lock_guard<std::mutex> guard(processLock);
    records.push_back(record);
    index = (int)records.size() - 1;
  }
  if (!valid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!record.started) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  information->hProcess = winsim::newHandle(&processKind, new StartedProcess{index});
  information->hThread = winsim::newHandle(&threadKind, NULL);
  information->dwProcessId = 0x1000 + 4 * (DWORD)index;
  information->dwThreadId = 0x2000 + 4 * (DWORD)index;
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  StartedProcess *process = (StartedProcess *)winsim::handleObject(object, &processKind);
  if (!process) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  std::lock_guard<std::mutex> guard(processLock);
  if (process->record < (int)records.size()) {  // records cleared since: nothing to note
    WinsimProcessRecord &record = records[(size_t)process->record];
    ++record.waits;
    record.lastWaitMs = milliseconds;
  }
  return startedProcessesStay ? WAIT_TIMEOUT : WAIT_OBJECT_0;
}

BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  if (!winsim::handleObject(process, &processKind) || !exitCode) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(processLock);
  *exitCode = startedProcessesStay ? STILL_ACTIVE : 0;
  return TRUE;
}

void winsimSetWindowsBitness(WinsimWindowsBitness value) {
  std::lock_guard<std::mutex> guard(processLock);
  bitness = value;
}

void winsimSetCommandLine(LPCSTR line) {
  std::lock_guard<std::mutex> guard(processLock);
  commandLine = line ? line : "";
}

int winsimProcessRecordCount(void) {
  std::lock_guard<std::mutex> guard(processLock);
  return (int)records.size();
}

const WinsimProcessRecord *winsimProcessRecord(int index) {
  std::lock_guard<std::mutex> guard(processLock);
  if (index < 0 || index >= (int)records.size()) return NULL;
  return &records[(size_t)index];
}

void winsimClearProcessRecords(void) {
  std::lock_guard<std::mutex> guard(processLock);
  records.clear();
}

void winsimSetStartedProcessesStay(BOOL stay) {
  std::lock_guard<std::mutex> guard(processLock);
  startedProcessesStay = stay != FALSE;
}

}  // extern "C"
