// What the process functions share with the rest of kernel32.
#pragma once

namespace winsim {

// False on a simulated system too old to have IsWow64Process.
bool hasIsWow64Process();
// Back to 32-bit Windows, the default command line, no records.
void resetProcesses();

}  // namespace winsim
