// The configuration loader: finds vorn.ini, sets the option values and
// compiles the file into the ConfigImage in named shared memory. It runs
// only in the daemon's process (and in the console tools), never in a hook.
#pragma once

#include <windows.h>

// VORN_SECTION_NAME, the shared section that holds the ConfigImage:
// `vornConfigure`, or `vornConfigure64` for the 64-bit pair.
#include "vorn_names.h"

// Entry written into the INI file when the section cannot be made.
#define VORN_STATUS_SECTION "Status"
#define VORN_STATUS_KEY "Error"
#define VORN_STATUS_MAPPING_FAILED "fail to FileMapping"

extern "C" {

// Finds vorn.ini, reads the options and builds the image. 1 when the image
// was built, 0 when no file could be opened or no section made.
int loadConfiguration(void);

// Unmaps this process's view and closes its section handle, whichever of
// them is held. Always 1.
int releaseConfiguration(void);

}  // extern "C"

// Where a compile puts the image and what it may do on failure.
struct CompileTarget {
  const char *sectionName;  // NULL: a private, unnamed section
  int reportFailureInFile;  // write Status/Error into the INI file on failure
};

// Compiles the INI file at `iniPath` (already opened as `file`, which this
// closes) into a section as `target` says, setting the option values on
// the way: everything loadConfiguration does once it has found the file,
// except checking the published image. 1 on success.
int compileConfiguration(HANDLE file, const CompileTarget *target);

// Section size the size rule gives for an INI file of `fileSize` bytes.
DWORD imageSizeForFileSize(DWORD fileSize);
