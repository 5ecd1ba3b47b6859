// The simulated Windows and system folders. By default they are a fresh
// folder per process, <TMPDIR or /tmp>/winsim-<pid>/windows, made on first
// use and removed when the process exits; $WINSIM_WINDOWS_DIR names a
// folder to use instead (made if missing, never removed).
#pragma once

#include <string>

namespace winsim {

const std::string &windowsFolder();
std::string systemFolder();

// Whether the Windows folder has been made yet (asking for it makes it).
bool windowsFolderMade();

}  // namespace winsim
