// Controls that span the kernel areas.
#include <windows.h>

#include "advapi32/security_descriptors.h"
#include "advapi32/token_facts.h"
#include "handles.h"
#include "kernel_defaults.h"
#include "libraries.h"
#include "named_objects.h"
#include "process_images.h"
#include "processes.h"
#include "winsim/control_kernel.h"

extern "C" {

void winsimResetKernel(void) {
  winsimSetVersion(winsim::WINDOWS_XP_VERSION);
  winsimSetShell32(WINSIM_SHELL32_VERSIONED, winsim::DEFAULT_SHELL_VERSION);
  winsimFailNextCreateFileMapping(0);
  winsimFailNextMapViewOfFile(0);
  winsim::makeEveryLibraryPresent();
  winsim::resetProcesses();
  winsimClearSectionRecords();
  winsim::resetSecurity();
  winsim::forgetProcessImagePaths();
  winsim::resetTokenFacts();
  winsim::forgetFileSecurity();
  winsim::resetNamedObjects();
  winsimSetProgramPath(NULL);
  winsimSetAppDataFolder(NULL);
  winsimSetShortNames(TRUE);
  winsimSetConsole(FALSE);
}

int winsimOpenHandleCount(void) { return winsim::openHandleCount(); }

}  // extern "C"
