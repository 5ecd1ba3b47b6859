// Whether another program runs with this process's bitness (both 32-bit
// or both 64-bit), which decides whose hook library handles its clicks.
#pragma once

#include <windows.h>

// 1 when process `processId` has this process's bitness; 0 when it has
// the other one, or when that cannot be told (a process this one may not
// open, a system without IsWow64Process).
int processSharesThisBitness(DWORD processId);
