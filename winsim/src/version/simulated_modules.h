// The system DLLs that winsim places in the simulated system folder, so
// that searching for them and reading their version resources works as on
// Windows. Only shell32.dll is simulated.
#pragma once

#include <string>

namespace winsim {

// Writes shell32.dll into `folder` as the shell controls last set it, or
// removes it when they made it missing.
void placeShell32(const std::string &folder);

}  // namespace winsim
