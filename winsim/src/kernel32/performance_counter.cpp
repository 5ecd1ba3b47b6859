// The high-resolution performance counter, read from the host's monotonic
// clock: one count per nanosecond, never going backwards, unaffected by
// changes of the wall clock.
#include <windows.h>

#include <time.h>

namespace {

const LONGLONG COUNTS_PER_SECOND = 1000000000;

}  // namespace

extern "C" {

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER *count) {
  if (!count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  count->QuadPart = (LONGLONG)now.tv_sec * COUNTS_PER_SECOND + now.tv_nsec;
  return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER *frequency) {
  if (!frequency) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  frequency->QuadPart = COUNTS_PER_SECOND;
  return TRUE;
}

}  // extern "C"
