// What the kernel areas report until a test's controls say otherwise, and
// what winsimResetKernel returns them to: Windows XP's values. One place,
// so that a reset cannot drift from the start-up state.
#pragma once

#include <windows.h>

namespace winsim {

constexpr DWORD WINDOWS_XP_VERSION = 0x0A280105;     // 5.1, build 2600 (0x0A28)
constexpr DWORD DEFAULT_SHELL_VERSION = 0x00060000;  // 6.0, as on Windows XP

}  // namespace winsim
