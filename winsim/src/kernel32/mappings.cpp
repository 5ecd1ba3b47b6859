// Named shared memory backed by the paging file. A section is an anonymous
// memory file (memfd); each view is an mmap of it, so two views of one
// section see the same bytes, and a view mapped FILE_MAP_READ is mapped
// without write permission: a stray write faults as it does on Windows.
//
// Lifetime follows Windows: the section's name belongs to it while a
// handle is open (afterwards the name can be created afresh), and its
// memory lives until the last handle is closed and the last view unmapped.
#include <aclapi.h>
#include <windows.h>

#include <errno.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string.h>

#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "advapi32/security_descriptors.h"

#include "handles.h"
#include "mapped_views.h"
#include "winsim/control_kernel.h"

namespace {

struct Section {
  int descriptor;
  uint64_t size;  // whole pages
  DWORD protect;
  std::string name;  // empty for an unnamed section
  int handles;
  int views;
  bool hasDescriptor;
  std::string securityText;  // the descriptor's SDDL text, when made with one
  winsim::ObjectSecurity security;
  bool reserved;  // SEC_RESERVE: no page committed
};

struct View {
  winsim::MappedView shape;
  Section *section;
};

struct SectionHandle {
  Section *section;
  DWORD access;  // SECTION_MAP_* rights this handle grants
};

// Views must start on this boundary within the section, as on Windows.
const uint64_t ALLOCATION_GRANULARITY = 65536;

std::mutex sectionsLock;
int liveSections = 0;
DWORD plannedCreateFailure = 0;
DWORD plannedMapFailure = 0;
std::vector<WinsimSectionRecord> sectionRecords;

// Made on first use and never destroyed, so that a view released late in
// the process's exit still finds them.
std::map<std::string, Section *> &namedSections() {
  static std::map<std::string, Section *> *sections = new std::map<std::string, Section *>();
  return *sections;
}

std::map<uintptr_t, View> &views() {  // by base address
  static std::map<uintptr_t, View> *all = new std::map<uintptr_t, View>();
  return *all;
}

uint64_t pageSize() { return (uint64_t)sysconf(_SC_PAGESIZE); }

uint64_t roundedToPages(uint64_t bytes) {
  uint64_t page = pageSize();
  return (bytes + page - 1) / page * page;
}

// Caller holds sectionsLock.
void releaseIfUnused(Section *section) {
  if (section->handles > 0 || section->views > 0) return;
  close(section->descriptor);
  delete section;
  --liveSections;
}

void closeSectionHandle(void *object) {
  SectionHandle *handle = (SectionHandle *)object;
  std::lock_guard<std::mutex> guard(sectionsLock);
  Section *section = handle->section;
  delete handle;
  if (--section->handles == 0 && !section->name.empty()) namedSections().erase(section->name);
  releaseIfUnused(section);
}

const winsim::HandleKind sectionKind = {"file mapping", closeSectionHandle};

// Caller holds sectionsLock.
HANDLE newSectionHandle(Section *section, DWORD access) {
  ++section->handles;
  return winsim::newHandle(&sectionKind, new SectionHandle{section, access});
}

bool validProtection(DWORD protect) {
  switch (protect & 0xFF) {
    case PAGE_READONLY:
    case PAGE_READWRITE:
    case PAGE_WRITECOPY:
    case PAGE_EXECUTE_READ:
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY:
      return true;
    default:
      return false;
  }
}

bool writableProtection(DWORD protect) {
  DWORD page = protect & 0xFF;
  return page == PAGE_READWRITE || page == PAGE_EXECUTE_READWRITE;
}

Section *newSection(uint64_t bytes, DWORD protect, const std::string &name) {
  int descriptor = memfd_create("winsim-section", MFD_CLOEXEC);
  if (descriptor < 0) return NULL;
  uint64_t size = roundedToPages(bytes);
  if (ftruncate(descriptor, (off_t)size) != 0) {
    close(descriptor);
    return NULL;
  }
  ++liveSections;
  return new Section{descriptor, size, protect, name, 0, 0, false, std::string(), {}, false};
}

HANDLE failWith(DWORD error) {
  SetLastError(error);
  return NULL;
}

bool takePlannedFailure(DWORD *planned) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  DWORD error = *planned;
  *planned = 0;
  if (error) SetLastError(error);
  return error != 0;
}

// Caller holds sectionsLock.
void recordCreation(LPCSTR name, bool hasDescriptor, const std::string &descriptor) {
  WinsimSectionRecord record;
  memset(&record, 0, sizeof record);
  if (name) strncpy(record.name, name, sizeof record.name - 1);
  record.hasDescriptor = hasDescriptor;
  strncpy(record.descriptor, descriptor.c_str(), sizeof record.descriptor - 1);
  sectionRecords.push_back(record);
}

// Whether the user may open `section` with `rights` (FILE_MAP_READ,
// FILE_MAP_WRITE): a section made without a descriptor lets the user do
// anything.
bool userMayOpen(const Section &section, DWORD rights) {
  DWORD granted = FILE_MAP_READ | FILE_MAP_WRITE;
  if (section.hasDescriptor) granted = winsim::userSectionRights(section.securityText);
  return (winsim::mandatoryRights(section.security, granted) & rights) == rights;
}

// Which rights a view asks of the handle it is mapped through.
DWORD rightsForView(DWORD access) {
  DWORD rights = access & (FILE_MAP_READ | FILE_MAP_WRITE);
  if (access & FILE_MAP_COPY) rights |= FILE_MAP_READ;
  return rights;
}

DWORD viewProtection(DWORD access) {
  if (access & FILE_MAP_WRITE) return PAGE_READWRITE;
  if (access & FILE_MAP_COPY) return PAGE_WRITECOPY;
  return PAGE_READONLY;
}

// 0 when the view may be mapped, else the Win32 error.
DWORD checkView(const SectionHandle &handle, DWORD access, uint64_t offset, SIZE_T bytes) {
  DWORD rights = rightsForView(access);
  if ((handle.access & rights) != rights) return ERROR_ACCESS_DENIED;
  if ((access & FILE_MAP_WRITE) && !writableProtection(handle.section->protect)) {
    return ERROR_ACCESS_DENIED;
  }
  if (offset % ALLOCATION_GRANULARITY != 0) return ERROR_MAPPED_ALIGNMENT;
  if (offset >= handle.section->size) return ERROR_INVALID_PARAMETER;
  if (bytes > handle.section->size - offset) return ERROR_ACCESS_DENIED;
  return 0;
}

LPVOID mapView(Section *section, DWORD access, uint64_t offset, SIZE_T bytes) {
  SIZE_T length = (SIZE_T)roundedToPages(bytes ? bytes : section->size - offset);
  DWORD protect = viewProtection(access);
  int prot = protect == PAGE_READONLY ? PROT_READ : PROT_READ | PROT_WRITE;
  if (section->reserved) prot = PROT_NONE;  // touching a reserved page faults
  int flags = protect == PAGE_WRITECOPY ? MAP_PRIVATE : MAP_SHARED;
  void *base = mmap(NULL, length, prot, flags, section->descriptor, (off_t)offset);
  if (base == MAP_FAILED) return failWith(ERROR_NOT_ENOUGH_MEMORY);
  views()[(uintptr_t)base] =
      View{winsim::MappedView{(char *)base, length, protect, section->reserved}, section};
  ++section->views;
  return base;
}

// Caller holds sectionsLock.
std::map<uintptr_t, View>::iterator viewContaining(LPCVOID address) {
  auto after = views().upper_bound((uintptr_t)address);
  if (after == views().begin()) return views().end();
  auto candidate = std::prev(after);
  const winsim::MappedView &view = candidate->second.shape;
  if ((const char *)address >= view.base + view.length) return views().end();
  return candidate;
}

}  // namespace

namespace winsim {

bool findMappedView(LPCVOID address, MappedView *view) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  auto found = viewContaining(address);
  if (found == views().end()) return false;
  *view = found->second.shape;
  return true;
}

}  // namespace winsim

extern "C" {

void winsimFailNextCreateFileMapping(DWORD error) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  plannedCreateFailure = error;
}

void winsimFailNextMapViewOfFile(DWORD error) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  plannedMapFailure = error;
}

int winsimSectionCount(void) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  return liveSections;
}

int winsimViewCount(void) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  return (int)views().size();
}

int winsimSectionRecordCount(void) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  return (int)sectionRecords.size();
}

const WinsimSectionRecord *winsimSectionRecord(int index) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  if (index < 0 || index >= (int)sectionRecords.size()) return NULL;
  return &sectionRecords[(size_t)index];
}

void winsimClearSectionRecords(void) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  sectionRecords.clear();
}

// Only sections backed by the paging file are offered; mapping a real
// file is not something this system does. An existing section is opened
// for reading and writing, as the system does.
HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect,
                                 DWORD sizeHigh, DWORD sizeLow, LPCSTR name) {
  std::string descriptor;
  bool hasDescriptor = security && security->lpSecurityDescriptor;
  if (hasDescriptor && !winsim::descriptorText(security->lpSecurityDescriptor, &descriptor)) {
    return failWith(ERROR_INVALID_SECURITY_DESCR);
  }
  {
    std::lock_guard<std::mutex> guard(sectionsLock);
    recordCreation(name, hasDescriptor, descriptor);
  }
  if (takePlannedFailure(&plannedCreateFailure)) return NULL;
  if (file != INVALID_HANDLE_VALUE) return failWith(ERROR_NOT_SUPPORTED);
  uint64_t size = ((uint64_t)sizeHigh << 32) | sizeLow;
  if (!validProtection(protect) || size == 0) return failWith(ERROR_INVALID_PARAMETER);
  std::string sectionName = name ? name : "";
  std::lock_guard<std::mutex> guard(sectionsLock);
  if (!sectionName.empty()) {
    auto existing = namedSections().find(sectionName);
    if (existing != namedSections().end()) {
      if (!userMayOpen(*existing->second, FILE_MAP_READ | FILE_MAP_WRITE)) {
        return failWith(ERROR_ACCESS_DENIED);
      }
      HANDLE handle = newSectionHandle(existing->second, FILE_MAP_ALL_ACCESS);
      SetLastError(ERROR_ALREADY_EXISTS);  // the old size and contents stay
      return handle;
    }
  }
  winsim::ObjectSecurity ownerAndLabel;
  DWORD refused = winsim::objectSecurity(descriptor, hasDescriptor, &ownerAndLabel);
  if (refused) return failWith(refused);
  Section *section = newSection(size, protect, sectionName);
  if (!section) return failWith(ERROR_NOT_ENOUGH_MEMORY);
  section->hasDescriptor = hasDescriptor;
  section->securityText = descriptor;
  section->security = ownerAndLabel;
  section->reserved = (protect & SEC_RESERVE) != 0;
  if (!sectionName.empty()) namedSections()[sectionName] = section;
  HANDLE handle = newSectionHandle(section, FILE_MAP_ALL_ACCESS);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

HANDLE WINAPI OpenFileMappingA(DWORD access, BOOL, LPCSTR name) {
  if (!name) return failWith(ERROR_INVALID_PARAMETER);
  if (!name[0]) return failWith(ERROR_INVALID_HANDLE);
  std::lock_guard<std::mutex> guard(sectionsLock);
  auto existing = namedSections().find(name);
  if (existing == namedSections().end()) return failWith(ERROR_FILE_NOT_FOUND);
  if (!userMayOpen(*existing->second, rightsForView(access))) return failWith(ERROR_ACCESS_DENIED);
  return newSectionHandle(existing->second, access);
}

LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                            SIZE_T bytes) {
  if (takePlannedFailure(&plannedMapFailure)) return NULL;
  // Held from the look-up on: a CloseHandle on another thread can take the
  // handle out of the table at any time, but frees it only under this lock.
  // The table's lock is always taken inside this one, never around it.
  std::lock_guard<std::mutex> guard(sectionsLock);
  SectionHandle *handle = (SectionHandle *)winsim::handleObject(mapping, &sectionKind);
  if (!handle) return failWith(ERROR_INVALID_HANDLE);
  uint64_t offset = ((uint64_t)offsetHigh << 32) | offsetLow;
  DWORD error = checkView(*handle, access, offset, bytes);
  if (error) return failWith(error);
  return mapView(handle->section, access, offset, bytes);
}

// ADVAPI32's, here because only sections answer it: their owner and label.
DWORD WINAPI GetSecurityInfo(HANDLE object, SE_OBJECT_TYPE type, SECURITY_INFORMATION what,
                             PSID *owner, PSID *group, PACL *dacl, PACL *sacl,
                             PSECURITY_DESCRIPTOR *descriptor) {
  if (type != SE_KERNEL_OBJECT || group || dacl ||
      (what & ~(OWNER_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION))) {
    return ERROR_NOT_SUPPORTED;
  }
  std::lock_guard<std::mutex> guard(sectionsLock);
  SectionHandle *handle = (SectionHandle *)winsim::handleObject(object, &sectionKind);
  if (!handle) return ERROR_INVALID_HANDLE;
  PSECURITY_DESCRIPTOR block = winsim::securityInfoBlock(
      handle->section->security, (what & OWNER_SECURITY_INFORMATION) ? owner : NULL,
      (what & LABEL_SECURITY_INFORMATION) ? sacl : NULL);
  if (!block) return ERROR_NOT_ENOUGH_MEMORY;
  if (descriptor) {
    *descriptor = block;
  } else {
    LocalFree(block);
  }
  return ERROR_SUCCESS;
}

BOOL WINAPI UnmapViewOfFile(LPCVOID address) {
  std::lock_guard<std::mutex> guard(sectionsLock);
  auto found = viewContaining(address);
  if (!address || found == views().end()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  View view = found->second;
  views().erase(found);
  munmap(view.shape.base, view.shape.length);
  --view.section->views;
  releaseIfUnused(view.section);
  return TRUE;
}

}  // extern "C"
