// The views that MapViewOfFile has mapped, for VirtualQuery.
#pragma once

#include <windows.h>

namespace winsim {

struct MappedView {
  char *base;
  SIZE_T length;  // whole pages
  DWORD protect;  // PAGE_READONLY, PAGE_READWRITE or PAGE_WRITECOPY
  bool reserved;  // of a SEC_RESERVE section: no page committed
};

// The view that contains `address`, if any.
bool findMappedView(LPCVOID address, MappedView *view);

}  // namespace winsim
