// Controls that span the kernel areas.
#include <windows.h>

#include "handles.h"
#include "winsim/control_kernel.h"

extern "C" {

void winsimResetKernel(void) {
  winsimSetVersion(0x0A280105);
  winsimSetShell32(WINSIM_SHELL32_VERSIONED, 0x00060000);
  winsimFailNextCreateFileMapping(0);
  winsimFailNextMapViewOfFile(0);
}

int winsimOpenHandleCount(void) { return winsim::openHandleCount(); }

}  // extern "C"
