#include "system/process_bitness.h"

#include <windows.h>

#include "system/delay_loaded.h"
#include "vorn_names.h"

int processSharesThisBitness(DWORD processId) {
  // Only on 64-bit Windows does a program of the other bitness run beside
  // this one, and there a 32-bit program is one that runs under WoW64.
  // Limited information is all IsWow64Process needs, and it is granted
  // even for programs run as administrator; Windows XP knows no such
  // right and refuses it, which answers 0 there.
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return 0;
  BOOL wow64 = FALSE;
  int known = delayLoaded::IsWow64Process(process, &wow64);
  CloseHandle(process);
  return known && (wow64 != FALSE) == (VORN_PAIR_BITS == 32);
}
