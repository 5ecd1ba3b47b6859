// VirtualQuery: what lies at an address. Views of file mappings are
// described as Windows describes them (MEM_MAPPED, the view's protection,
// the rest of the view as the region); any other address is described
// from the host's own memory map.
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "mapped_views.h"

namespace {

// The top of the user address space of x86-64 processes.
const uintptr_t USER_SPACE_END = (uintptr_t)1 << 47;

struct HostRegion {
  uintptr_t start;
  uintptr_t end;
  char permissions[5];
  unsigned long inode;
};

uintptr_t pageOf(LPCVOID address) {
  return (uintptr_t)address & ~((uintptr_t)sysconf(_SC_PAGESIZE) - 1);
}

DWORD protectionFromPermissions(const char *permissions) {
  bool read = permissions[0] == 'r';
  bool write = permissions[1] == 'w';
  bool execute = permissions[2] == 'x';
  if (execute) return write ? PAGE_EXECUTE_READWRITE : read ? PAGE_EXECUTE_READ : PAGE_EXECUTE;
  if (write) return PAGE_READWRITE;
  return read ? PAGE_READONLY : PAGE_NOACCESS;
}

// Finds the host region holding `address`, or else the first one above it
// (`holds` tells which).
bool findHostRegion(uintptr_t address, HostRegion *region, bool *holds) {
  FILE *maps = fopen("/proc/self/maps", "r");
  if (!maps) return false;
  char line[512];
  bool found = false;
  while (!found && fgets(line, sizeof line, maps)) {
    HostRegion candidate;
    unsigned long long start, end;
    if (sscanf(line, "%llx-%llx %4s %*s %*s %lu", &start, &end, candidate.permissions,
               &candidate.inode) != 4) {
      continue;
    }
    candidate.start = (uintptr_t)start;
    candidate.end = (uintptr_t)end;
    if (address < candidate.end) {
      *region = candidate;
      *holds = address >= candidate.start;
      found = true;
    }
  }
  fclose(maps);
  return found;
}

void describeView(const winsim::MappedView &view, uintptr_t page, MEMORY_BASIC_INFORMATION *info) {
  info->BaseAddress = (PVOID)page;
  info->AllocationBase = view.base;
  info->AllocationProtect = view.protect;
  info->RegionSize = (SIZE_T)((uintptr_t)view.base + view.length - page);
  info->State = view.reserved ? MEM_RESERVE : MEM_COMMIT;
  info->Protect = view.reserved ? 0 : view.protect;
  info->Type = MEM_MAPPED;
}

void describeHostMemory(uintptr_t page, MEMORY_BASIC_INFORMATION *info) {
  HostRegion region;
  bool holds = false;
  bool known = findHostRegion(page, &region, &holds);
  info->BaseAddress = (PVOID)page;
  if (known && holds) {
    DWORD protect = protectionFromPermissions(region.permissions);
    info->AllocationBase = (PVOID)region.start;
    info->AllocationProtect = protect;
    info->RegionSize = region.end - page;
    info->State = MEM_COMMIT;
    info->Protect = protect;
    info->Type = region.inode ? MEM_IMAGE : MEM_PRIVATE;
    return;
  }
  info->AllocationBase = NULL;
  info->AllocationProtect = 0;
  info->RegionSize = (known ? region.start : USER_SPACE_END) - page;
  info->State = MEM_FREE;
  info->Protect = PAGE_NOACCESS;
  info->Type = 0;
}

}  // namespace

extern "C" {

SIZE_T WINAPI VirtualQuery(LPCVOID address, PMEMORY_BASIC_INFORMATION info, SIZE_T length) {
  if (!info || length < sizeof *info) {
    SetLastError(ERROR_BAD_LENGTH);
    return 0;
  }
  uintptr_t page = pageOf(address);
  if (page >= USER_SPACE_END) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  memset(info, 0, sizeof *info);
  winsim::MappedView view;
  if (winsim::findMappedView(address, &view)) {
    describeView(view, page, info);
  } else {
    describeHostMemory(page, info);
  }
  return sizeof *info;
}

}  // extern "C"
