// The system DLLs that LoadLibraryA finds.
#pragma once

namespace winsim {

// Undoes every winsimSetLibraryPresent(..., FALSE).
void makeEveryLibraryPresent();

}  // namespace winsim
