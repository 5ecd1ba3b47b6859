// The system DLLs that LoadLibraryA finds.
#pragma once

#include <windows.h>

namespace winsim {

// The handle of a system DLL loaded now (KERNEL32 always is), or NULL.
HMODULE loadedSystemLibrary(const char *name);

// Undoes every winsimSetLibraryPresent(..., FALSE).
void makeEveryLibraryPresent();

}  // namespace winsim
