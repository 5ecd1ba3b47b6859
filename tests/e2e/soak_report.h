// What a process that owns soak windows tells the soak test: which windows
// it made, in order every mouse message they and its marker window
// received (the moves tell, when a gesture goes wrong, where the pointer
// went), and the faults raised in it.
//
// The window host (soak_host_main.cpp) keeps its report in named shared
// memory that the test creates and names on the host's command line; the
// test process keeps one of its own for its own windows in ordinary
// memory. One thread writes a report, the test reads it: an entry is
// complete before `logged` counts it.
//
// The host may be of the other bitness than the test (the 32-bit pair's
// test watches a 64-bit host's windows), so the report holds no pointers
// and no sizes that depend on it: its layout is pinned below.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

namespace e2e {

enum SoakWindowClass { SOAK_PLAIN, SOAK_GUARDED, SOAK_OPEN, SOAK_CLASS_COUNT };

// The system commands a window counts (SoakReport::systemCommands).
enum SoakSystemCommand { SOAK_MAXIMIZE_COMMAND, SOAK_RESTORE_COMMAND, SOAK_COMMAND_COUNT };

enum : int32_t {
  SOAK_MOST_WINDOWS = 8,
  SOAK_LOG_CAPACITY = 65536,
  SOAK_MARKER_POINTS = 8,
  SOAK_FAULTS_KEPT = 4,
  SOAK_MODULES_SIZE = 2048,
  // The window of a log entry that is the marker window, or none of the
  // process's soak windows.
  SOAK_MARKER = -1,
  SOAK_UNKNOWN_WINDOW = -2,
};

// Where a window is to be made, and of which class. Filled in by the test
// before the host starts.
struct SoakWindowRequest {
  int32_t windowClass;
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

struct SoakLogEntry {
  int32_t window;  // index into SoakReport::windows, SOAK_MARKER or SOAK_UNKNOWN_WINDOW
  uint32_t message;
  int32_t x;  // the pointer on the screen
  int32_t y;
};

// An exception that ends a process unless someone handles it: an access
// violation, an illegal instruction and the like.
struct SoakFault {
  uint32_t code;
  uint64_t address;
  char module[96];  // the file that holds `address`
};

struct SoakReport {
  int32_t requestCount;
  SoakWindowRequest requests[SOAK_MOST_WINDOWS];
  POINT markerCorner;  // top left corner of the marker window

  // Window handles as numbers: they mean the same in every process.
  uint64_t windows[SOAK_MOST_WINDOWS];
  uint64_t marker;
  // Set once every window exists.
  volatile LONG ready;

  // How many moves reached the marker window at each point it was moved to.
  POINT markerPoints[SOAK_MARKER_POINTS];
  volatile LONG markerMoves[SOAK_MARKER_POINTS];

  // Faults raised in the process, and the first of them. Wine catches an
  // exception raised inside a hook procedure and goes on as if the hook
  // had passed the message on, so a hook that crashes leaves its process
  // running: only this record tells.
  volatile LONG faults;
  SoakFault firstFaults[SOAK_FAULTS_KEPT];

  // How many WM_SYSCOMMAND of SC_MAXIMIZE and of SC_RESTORE each window
  // received. vorn posts them for its actions, and decides which to post
  // when its hook runs: an action carried out twice for one click shows
  // here as two commands, even where the window ends as it would after one.
  volatile LONG systemCommands[SOAK_MOST_WINDOWS][SOAK_COMMAND_COUNT];

  // The file names (in lower case, separated by blanks) of the process's
  // modules, as the host listed them when the test last asked for them
  // (SOAK_LIST_MODULES); `modulesListed` counts the answers. Another
  // process's modules cannot be listed from a process of the other
  // bitness, so the host lists its own.
  volatile LONG modulesListed;
  char modules[SOAK_MODULES_SIZE];

  // Entries written so far; entry n is log[n % SOAK_LOG_CAPACITY].
  volatile LONG logged;
  SoakLogEntry log[SOAK_LOG_CAPACITY];
};

// Posted to the host's thread: list the modules into the report.
enum : UINT { SOAK_LIST_MODULES = WM_APP + 1 };

// The same in the i686 and the x86_64 build.
static_assert(sizeof(SoakReport) == 1051496, "the report's layout depends on the bitness");
static_assert(offsetof(SoakReport, modules) == 868, "the report's layout depends on the bitness");

inline const SoakLogEntry &soakLogEntry(const SoakReport *report, LONG n) {
  return report->log[n % SOAK_LOG_CAPACITY];
}

}  // namespace e2e
