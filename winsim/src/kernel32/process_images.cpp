// Processes as other programs see them: a handle opened by process id and
// the program file it runs (processes.cpp answers whether it runs under
// WOW64, as for the current one). A process is the
// current one or any in which a simulated thread runs (user32's threads
// carry their process ids); each runs the host program unless a test
// says otherwise.
#include <windows.h>

#include <limits.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "handles.h"
#include "host_paths.h"
#include "process_images.h"
#include "user32/desktop_state.h"
#include "winsim/control_kernel.h"

namespace {

// OpenProcess calls since the kernel was last reset.
std::atomic<int> openProcessCalls{0};

// What GetCurrentProcess returns on Windows: a pseudo handle that every
// process call takes as the calling process.
HANDLE const CURRENT_PROCESS = (HANDLE)(intptr_t)-1;

struct Process {
  DWORD id;
};

void closeProcess(void *object) { delete (Process *)object; }

const winsim::HandleKind processKind = {"process", closeProcess};

std::mutex imagePathsLock;
std::map<DWORD, std::string> &imagePaths() {
  static std::map<DWORD, std::string> paths;
  return paths;
}

std::string hostProgram() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, (size_t)length) : std::string();
}

// The process behind `handle`, or 0 with ERROR_INVALID_HANDLE.
DWORD processIdOf(HANDLE handle) {
  DWORD id = winsim::processIdOfHandle(handle);
  if (!id) SetLastError(ERROR_INVALID_HANDLE);
  return id;
}

// The image path of `process` as winsim holds it (UTF-8); FALSE, with the
// last error set, for a handle or buffer that does not do.
BOOL imagePathOf(HANDLE process, const void *name, PDWORD size, std::string *path) {
  DWORD id = processIdOf(process);
  if (!id || !name || !size) {
    if (id) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> hold(imagePathsLock);
  auto found = imagePaths().find(id);
  *path = found != imagePaths().end() ? found->second : hostProgram();
  return TRUE;
}

}  // namespace

void winsim::forgetProcessImagePaths() {
  std::lock_guard<std::mutex> hold(imagePathsLock);
  imagePaths().clear();
  openProcessCalls = 0;
}

DWORD winsim::processIdOfHandle(HANDLE handle) {
  if (handle == CURRENT_PROCESS) return GetCurrentProcessId();
  Process *process = (Process *)winsim::handleObject(handle, &processKind);
  return process ? process->id : 0;
}

extern "C" {

HANDLE WINAPI OpenProcess(DWORD, BOOL, DWORD processId) {
  ++openProcessCalls;
  if (processId == 0 ||
      (processId != GetCurrentProcessId() && !winsim::processHasThread(processId))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  return winsim::newHandle(&processKind, new Process{processId});
}

BOOL WINAPI QueryFullProcessImageNameA(HANDLE process, DWORD, LPSTR name, PDWORD size) {
  std::string path;
  if (!imagePathOf(process, name, size, &path)) return FALSE;
  path = winsim::ansiFromUtf8(path);
  // The size is in and out: the buffer's, then the characters written.
  if (path.size() + 1 > *size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  memcpy(name, path.c_str(), path.size() + 1);
  *size = (DWORD)path.size();
  return TRUE;
}

BOOL WINAPI QueryFullProcessImageNameW(HANDLE process, DWORD, LPWSTR name, PDWORD size) {
  std::string path;
  if (!imagePathOf(process, name, size, &path)) return FALSE;
  std::wstring wide = winsim::wideFromUtf8(path);
  if (wide.size() + 1 > *size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  memcpy(name, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
  *size = (DWORD)wide.size();
  return TRUE;
}

void winsimSetProcessImagePath(DWORD processId, LPCSTR path) {
  std::lock_guard<std::mutex> hold(imagePathsLock);
  if (path) {
    imagePaths()[processId] = path;
  } else {
    imagePaths().erase(processId);
  }
}

int winsimOpenProcessCallCount(void) { return openProcessCalls; }

}  // extern "C"
