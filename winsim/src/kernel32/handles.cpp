// Handle values are multiples of four, as on Windows, and are never reused:
// a handle used after CloseHandle is reported as invalid rather than
// silently reaching a newer object.
#include "handles.h"

#include <windows.h>

#include <mutex>
#include <unordered_map>

namespace winsim {
namespace {

struct HandleEntry {
  const HandleKind *kind;
  void *object;
};

// Pseudo handles: the current process and the current thread. Closing
// them succeeds and does nothing.
const uintptr_t CURRENT_PROCESS = (uintptr_t)-1;
const uintptr_t CURRENT_THREAD = (uintptr_t)-2;
const uintptr_t FIRST_HANDLE = 0x1000;
const uintptr_t HANDLE_STEP = 4;

std::mutex tableLock;
uintptr_t nextHandleValue = FIRST_HANDLE;

std::unordered_map<uintptr_t, HandleEntry> &table() {
  static std::unordered_map<uintptr_t, HandleEntry> *entries =
      new std::unordered_map<uintptr_t, HandleEntry>();
  return *entries;
}

bool takeEntry(HANDLE handle, HandleEntry *entry) {
  std::lock_guard<std::mutex> guard(tableLock);
  auto found = table().find((uintptr_t)handle);
  if (found == table().end()) return false;
  *entry = found->second;
  table().erase(found);
  return true;
}

}  // namespace

HANDLE newHandle(const HandleKind *kind, void *object) {
  std::lock_guard<std::mutex> guard(tableLock);
  uintptr_t value = nextHandleValue;
  nextHandleValue += HANDLE_STEP;
  table()[value] = HandleEntry{kind, object};
  return (HANDLE)value;
}

void *handleObject(HANDLE handle, const HandleKind *kind) {
  std::lock_guard<std::mutex> guard(tableLock);
  auto found = table().find((uintptr_t)handle);
  if (found == table().end() || found->second.kind != kind) return NULL;
  return found->second.object;
}

const HandleKind *handleKind(HANDLE handle) {
  std::lock_guard<std::mutex> guard(tableLock);
  auto found = table().find((uintptr_t)handle);
  return found == table().end() ? NULL : found->second.kind;
}

int openHandleCount() {
  std::lock_guard<std::mutex> guard(tableLock);
  return (int)table().size();
}

}  // namespace winsim

extern "C" {

BOOL WINAPI CloseHandle(HANDLE handle) {
  uintptr_t value = (uintptr_t)handle;
  if (value == winsim::CURRENT_PROCESS || value == winsim::CURRENT_THREAD) return TRUE;
  winsim::HandleEntry entry;
  if (!winsim::takeEntry(handle, &entry)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (entry.kind->close) entry.kind->close(entry.object);
  return TRUE;
}

}  // extern "C"
