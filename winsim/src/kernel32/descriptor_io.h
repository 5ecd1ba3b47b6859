// Reading and writing whole files through a descriptor, as every kernel
// area that keeps its data in host files needs: reads and writes are
// retried when a signal interrupts them, and short writes are continued.
#pragma once

#include <windows.h>

#include <stddef.h>

#include <string>

namespace winsim {

// Reads from `descriptor` to the end of the file into `bytes`. 0, or the
// Win32 error; a folder gives ERROR_ACCESS_DENIED, as Windows refuses to
// read one as a file.
DWORD readAll(int descriptor, std::string *bytes);

// Writes all `size` bytes; false, with errno set, when the host refuses.
bool writeAll(int descriptor, const void *data, size_t size);

}  // namespace winsim
