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
#pragma once

#include <windows.h>

#include <stdint.h>

namespace e2e {

enum SoakWindowClass { SOAK_PLAIN, SOAK_GUARDED, SOAK_OPEN, SOAK_CLASS_COUNT };

enum : int32_t {
  SOAK_MOST_WINDOWS = 8,
  SOAK_LOG_CAPACITY = 65536,
  SOAK_MARKER_POINTS = 8,
  SOAK_FAULTS_KEPT = 4,
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

  // Entries written so far; entry n is log[n % SOAK_LOG_CAPACITY].
  volatile LONG logged;
  SoakLogEntry log[SOAK_LOG_CAPACITY];
};

inline const SoakLogEntry &soakLogEntry(const SoakReport *report, LONG n) {
  return report->log[n % SOAK_LOG_CAPACITY];
}

}  // namespace e2e
