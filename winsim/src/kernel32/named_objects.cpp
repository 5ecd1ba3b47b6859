// Named mutexes, and private namespaces with their boundary descriptors,
// as a program that must run once per user uses them. From Microsoft's
// documentation ("Object Namespaces", CreatePrivateNamespace,
// AddIntegrityLabelToBoundaryDescriptor, CreateMutex):
// - "Each namespace is uniquely identified by its name and boundaries. The
//   system supports multiple private namespaces with the same name, as long
//   as they specify different boundaries."
// - "The caller must be within the specified boundary for the create
//   operation to succeed": every SID of the boundary is the caller's user
//   (or Everyone), and "a process can create a private namespace only with
//   an integrity level that is equal to or lower than the current integrity
//   level of the process". Otherwise ERROR_ACCESS_DENIED.
// - A namespace that exists already is not made again: ERROR_ALREADY_EXISTS,
//   and OpenPrivateNamespace opens it. "After the namespace handle is
//   closed, subsequent calls to OpenPrivateNamespace fail, but all
//   operations on objects in the namespace succeed."
// - Objects in it are named "prefix\objectname"; a prefix that names no
//   namespace the process holds (other than Global and Local) is no path.
// - CreateMutex on a name that exists "returns a handle to the existing
//   object, and GetLastError returns ERROR_ALREADY_EXISTS"; when its
//   security denies the caller (another user; a lower integrity level,
//   which the no-write-up label keeps from modifying it) the call fails
//   with ERROR_ACCESS_DENIED.
#include "named_objects.h"

#include <sddl.h>
#include <windows.h>

#include <string.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "advapi32/token_facts.h"
#include "handles.h"

namespace {

const uint64_t BOUNDARY_MAGIC = 0x77696e73696d4244ull;  // "winsimBD"
const char EVERYONE[] = "S-1-1-0";

struct Boundary {
  uint64_t magic;
  std::string name;
  std::vector<std::string> sids;
  DWORD label;  // integrity RID, or NO_LABEL
};
const DWORD NO_LABEL = 0xFFFFFFFFu;

struct Namespace {
  std::string alias, key;
  bool creator;
};

struct Mutex {
  std::string name;
  std::string ownerUser;
  DWORD ownerIntegrity;
};

std::mutex objectsLock;
std::map<std::string, int> &liveNamespaces() {  // key -> open creator handles
  static std::map<std::string, int> live;
  return live;
}
std::map<std::string, int> &liveMutexes() {  // name -> open handles
  static std::map<std::string, int> live;
  return live;
}
std::map<std::string, Mutex> &mutexOwners() {
  static std::map<std::string, Mutex> owners;
  return owners;
}
std::vector<Namespace *> &heldNamespaces() {
  static std::vector<Namespace *> held;
  return held;
}

void closeNamespace(void *object) {
  Namespace *space = (Namespace *)object;
  std::lock_guard<std::mutex> hold(objectsLock);
  auto live = liveNamespaces().find(space->key);
  if (space->creator && live != liveNamespaces().end() && --live->second == 0) {
    liveNamespaces().erase(live);
  }
  auto &held = heldNamespaces();
  held.erase(std::remove(held.begin(), held.end(), space), held.end());
  delete space;
}

void closeMutex(void *object) {
  Mutex *mutex = (Mutex *)object;
  std::lock_guard<std::mutex> hold(objectsLock);
  auto live = liveMutexes().find(mutex->name);
  if (live != liveMutexes().end() && --live->second == 0) {
    liveMutexes().erase(live);
    mutexOwners().erase(mutex->name);
  }
  delete mutex;
}

const winsim::HandleKind namespaceKind = {"private namespace", closeNamespace};
const winsim::HandleKind mutexKind = {"mutex", closeMutex};

Boundary *boundaryOf(const void *handle) {
  Boundary *boundary = (Boundary *)handle;
  return boundary && boundary->magic == BOUNDARY_MAGIC ? boundary : NULL;
}

std::string sidText(PSID sid) {
  LPSTR text = NULL;
  if (!sid || !ConvertSidToStringSidA(sid, &text)) return std::string();
  std::string copy = text;
  LocalFree(text);
  return copy;
}

std::string keyOf(const Boundary &boundary, const char *alias) {
  std::vector<std::string> sids = boundary.sids;
  std::sort(sids.begin(), sids.end());
  std::string key = std::string(alias) + "|" + boundary.name + "|" + std::to_string(boundary.label);
  for (const std::string &sid : sids) key += "|" + sid;
  return key;
}

bool withinBoundary(const Boundary &boundary) {
  DWORD self = GetCurrentProcessId();
  std::string user = winsim::processUserSidText(self);
  for (const std::string &sid : boundary.sids) {
    if (sid != user && sid != EVERYONE) return false;
  }
  return boundary.label == NO_LABEL || boundary.label <= winsim::processIntegrityRid(self);
}

HANDLE failWith(DWORD error) {
  SetLastError(error);
  return NULL;
}

// The object's full name: the key of the namespace its prefix names, or
// the session's own names. Empty when the prefix names no namespace held.
std::string fullName(const char *name) {
  const char *slash = strchr(name, '\\');
  if (!slash) return std::string("session\\") + name;
  std::string prefix(name, (size_t)(slash - name));
  if (prefix == "Global" || prefix == "Local") return "session\\" + std::string(slash + 1);
  std::lock_guard<std::mutex> hold(objectsLock);
  for (auto it = heldNamespaces().rbegin(); it != heldNamespaces().rend(); ++it) {
    if ((*it)->alias == prefix) return (*it)->key + "\\" + (slash + 1);
  }
  return std::string();
}

}  // namespace

namespace winsim {

void resetNamedObjects() {
  std::lock_guard<std::mutex> hold(objectsLock);
  liveNamespaces().clear();
}

}  // namespace winsim

extern "C" {

HANDLE WINAPI CreateBoundaryDescriptorA(LPCSTR name, ULONG) {
  if (!name) return failWith(ERROR_INVALID_PARAMETER);
  return (HANDLE) new Boundary{BOUNDARY_MAGIC, name, {}, NO_LABEL};
}

BOOL WINAPI AddSIDToBoundaryDescriptor(HANDLE *boundaryDescriptor, PSID sid) {
  Boundary *boundary = boundaryDescriptor ? boundaryOf(*boundaryDescriptor) : NULL;
  std::string text = sidText(sid);
  if (!boundary || text.empty()) return SetLastError(ERROR_INVALID_PARAMETER), FALSE;
  boundary->sids.push_back(text);
  return TRUE;
}

BOOL WINAPI AddIntegrityLabelToBoundaryDescriptor(HANDLE *boundaryDescriptor, PSID label) {
  Boundary *boundary = boundaryDescriptor ? boundaryOf(*boundaryDescriptor) : NULL;
  std::string text = sidText(label);
  if (!boundary || text.compare(0, 7, "S-1-16-") != 0) {
    return SetLastError(ERROR_INVALID_PARAMETER), FALSE;
  }
  boundary->label = (DWORD)std::stoul(text.substr(7));
  return TRUE;
}

void WINAPI DeleteBoundaryDescriptor(HANDLE boundaryDescriptor) {
  Boundary *boundary = boundaryOf(boundaryDescriptor);
  if (!boundary) return;
  boundary->magic = 0;
  delete boundary;
}

HANDLE WINAPI CreatePrivateNamespaceA(LPSECURITY_ATTRIBUTES, LPVOID boundaryDescriptor,
                                      LPCSTR alias) {
  Boundary *boundary = boundaryOf(boundaryDescriptor);
  if (!boundary || !alias || !*alias) return failWith(ERROR_INVALID_PARAMETER);
  if (!withinBoundary(*boundary)) return failWith(ERROR_ACCESS_DENIED);
  std::string key = keyOf(*boundary, alias);
  {
    std::lock_guard<std::mutex> hold(objectsLock);
    if (liveNamespaces().count(key)) return failWith(ERROR_ALREADY_EXISTS);
    liveNamespaces()[key] = 1;
  }
  Namespace *space = new Namespace{alias, key, true};
  HANDLE handle = winsim::newHandle(&namespaceKind, space);
  std::lock_guard<std::mutex> hold(objectsLock);
  heldNamespaces().push_back(space);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

HANDLE WINAPI OpenPrivateNamespaceA(LPVOID boundaryDescriptor, LPCSTR alias) {
  Boundary *boundary = boundaryOf(boundaryDescriptor);
  if (!boundary || !alias) return failWith(ERROR_INVALID_PARAMETER);
  std::string key = keyOf(*boundary, alias);
  {
    std::lock_guard<std::mutex> hold(objectsLock);
    if (!liveNamespaces().count(key)) return failWith(ERROR_PATH_NOT_FOUND);
  }
  Namespace *space = new Namespace{alias, key, false};
  HANDLE handle = winsim::newHandle(&namespaceKind, space);
  std::lock_guard<std::mutex> hold(objectsLock);
  heldNamespaces().push_back(space);
  return handle;
}

BOOLEAN WINAPI ClosePrivateNamespace(HANDLE handle, ULONG) {
  if (!winsim::handleObject(handle, &namespaceKind)) return FALSE;
  return CloseHandle(handle) ? 1 : 0;
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name) {
  if (!name) return winsim::newHandle(&mutexKind, new Mutex{"", "", 0});
  std::string full = fullName(name);
  if (full.empty()) return failWith(ERROR_PATH_NOT_FOUND);
  DWORD self = GetCurrentProcessId();
  Mutex *mutex =
      new Mutex{full, winsim::processUserSidText(self), winsim::processIntegrityRid(self)};
  bool existed;
  {
    std::lock_guard<std::mutex> hold(objectsLock);
    auto owner = mutexOwners().find(full);
    existed = owner != mutexOwners().end();
    if (existed && (owner->second.ownerUser != mutex->ownerUser ||
                    owner->second.ownerIntegrity > mutex->ownerIntegrity)) {
      delete mutex;
      return failWith(ERROR_ACCESS_DENIED);
    }
    if (!existed) mutexOwners()[full] = *mutex;
    ++liveMutexes()[full];
  }
  HANDLE handle = winsim::newHandle(&mutexKind, mutex);
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

}  // extern "C"
