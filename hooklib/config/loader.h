// The configuration loader: finds vorn.ini, sets the option variables and
// compiles the file into the ConfigImage in named shared memory. It runs
// only in the daemon's process (and in the console tools), never in a hook.
#pragma once

#include <windows.h>

#include "config/image_layout.h"

// Name of the shared section that holds the ConfigImage.
#define VORN_SECTION_NAME "vornConfigure"

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

// During a compile: the MatchRecord named exactly `name`, made from section
// `Match.<name>` when it does not exist yet.
ImageOffset findOrCreateMatch(const char *name);

// Hit-test code of a hit-test name, or -1 (any).
int hitTestCodeFromName(const char *name);

// MinimizedPolicy of a policy name: 1 "Skip", 2 "Restore", otherwise 0.
int minimizedPolicyFromName(const char *name);

// During a compile: points the header slot of `eventName` at `listOffset`;
// ignores null, empty, ';'-commented and unknown names.
void setEventListSlot(const char *eventName, ImageOffset listOffset);

// 1 when the double-NUL-terminated list `names` holds an entry equal to
// `name`, else 0.
int sectionNameListContains(const char *names, const char *name);

}  // extern "C"

// Where a compile puts the image and what it may do on failure.
struct CompileTarget {
  const char *sectionName;   // NULL: a private, unnamed section
  int reportFailureInFile;   // write Status/Error into the INI file on failure
};

// Compiles the INI file at `iniPath` (already opened as `file`, which this
// closes) into a section as `target` says, setting the option variables on
// the way. Steps 2 to 10 of a load; 1 on success.
int compileConfiguration(HANDLE file, const CompileTarget *target);

// Opens `path` for reading the way the loader does; INVALID_HANDLE_VALUE
// when it cannot.
HANDLE openConfigurationFile(const char *path);

// Sets iniPath to the first candidate that opens (the Windows directory,
// then the daemon's own folder) and returns its handle, or
// INVALID_HANDLE_VALUE with iniPath left at the last candidate tried.
HANDLE locateConfigurationFile(void);

// Section size the size rule gives for an INI file of `fileSize` bytes.
DWORD imageSizeForFileSize(DWORD fileSize);

// The XMouseMode that the options and the shell's version select; reads
// UseXMOUSE and ThroughSimulateWM_MOUSEACTIVATE from iniPath.
int chooseXmouseMode(void);

// 1 when a shell32.dll of this major.minor file version offers the system's
// active window tracking (XMouseMode 2), else 0.
int shellVersionHasWindowTracking(unsigned major, unsigned minor);
