// The kernel handle table: every HANDLE winsim hands out (files, file
// mappings, and whatever other areas add) is an entry here, so that one
// CloseHandle serves them all and a stale or foreign handle is refused
// with ERROR_INVALID_HANDLE instead of being followed.
//
// An area adds a kind of handle by defining one HandleKind for it; the
// kind's `close` runs when the last handle to the object is closed.
//
//   const winsim::HandleKind eventKind = {"event", closeEvent};
//   HANDLE handle = winsim::newHandle(&eventKind, event);
//   Event *event = (Event *)winsim::handleObject(handle, &eventKind);
#pragma once

#include <windows.h>

namespace winsim {

struct HandleKind {
  const char *name;
  // Releases the object. Called without the table's lock held, so it may
  // itself create or close handles.
  void (*close)(void *object);
};

// A new handle for `object`; NULL (with ERROR_NOT_ENOUGH_MEMORY) only when
// the table cannot grow.
HANDLE newHandle(const HandleKind *kind, void *object);

// The object behind `handle` when it is open and of `kind`, else NULL.
void *handleObject(HANDLE handle, const HandleKind *kind);

// The kind of an open handle, or NULL.
const HandleKind *handleKind(HANDLE handle);

// How many handles are open (for leak checks in tests).
int openHandleCount();

}  // namespace winsim
