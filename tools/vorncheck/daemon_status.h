// vorncheck --status: which daemon runs, which vorn.ini it loads, and
// whether the configuration it runs is what that file compiles to now.
// It only looks: each daemon is found by its control window, its section
// is opened read-only, and nothing is sent to it.
#pragma once

#include <windows.h>

#include <stdint.h>
#include <stdio.h>

// One daemon of the pair: the names it is found by.
struct DaemonNames {
  const char *name;         // as the table shows it: "vornd"
  const char *programFile;  // "vornd.exe"
  const char *windowName;   // class and title of its control window
  const char *sectionName;  // its ConfigImage
};

// The 32-bit daemon and the 64-bit one, looked for by these very names
// whatever vorncheck's own build is.
extern const DaemonNames DAEMON_PAIR[2];

// How a daemon's configuration compares with its file.
enum Loaded {
  LOADED_NOT_RUNNING = 0,
  LOADED_CURRENT,  // the section holds what the file compiles to now
  LOADED_EDITED,   // it holds something else: the file changed since the load
  LOADED_NONE,     // the file is there, the section holds no configuration
  LOADED_NO_FILE,  // no place holds a vorn.ini
  LOADED_UNKNOWN,  // something could not be read
  LOADED_PAUSED,   // vornd --pause removed its hooks: every click passes
};

// The property a paused daemon's control window carries (vornd's own
// name for it, daemon/control_window.h).
#define DAEMON_PAUSED_PROPERTY "vornPaused"

struct DaemonStatus {
  const DaemonNames *names;
  HWND window;
  DWORD processId;
  int processBits;               // 32 or 64; 0 when unknown
  WCHAR programFile[MAX_PATH];   // L"" when the process could not be asked
  char program[MAX_PATH];        // the same as printed; "" likewise
  char configuration[MAX_PATH];  // the vorn.ini it loads; "" when there is none
  char statusError[256];         // the file's [Status] Error; "" when none
  bool sectionExists;
  bool sectionEmpty;  // every header field -1: no lists, no matches
  Loaded loaded;
  const char *problem;  // what could not be found out, for LOADED_UNKNOWN
};

// Looks at one daemon.
void inspectDaemon(const DaemonNames &names, DaemonStatus *status);

// Whether two images are the same configuration: equal where both have
// bytes, and only zeros beyond the shorter (sections are rounded up to
// whole pages and zero-filled).
bool sameImage(const unsigned char *a, uint32_t aSize, const unsigned char *b, uint32_t bSize);

// Whether this is 64-bit Windows (vorncheck being either build).
bool onWindows64();

// Prints the table and what each row means; returns the exit code: 0 when
// a daemon runs and every daemon that runs has its file as it is now, 1
// otherwise (a paused one included), 2 when something could not be found
// out.
int reportStatus(FILE *out);
