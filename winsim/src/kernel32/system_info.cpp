// System facts and time: the version, the tick count, sleeping.
#include <windows.h>

#include <errno.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

#include "kernel_defaults.h"
#include "winsim/control_kernel.h"

namespace {

std::atomic<DWORD> reportedVersion(winsim::WINDOWS_XP_VERSION);
std::atomic<DWORD> tickOffset(0);

void sleepFor(DWORD milliseconds) {
  struct timespec wait;
  wait.tv_sec = milliseconds / 1000;
  wait.tv_nsec = (long)(milliseconds % 1000) * 1000000L;
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

}  // namespace

extern "C" {

void winsimSetVersion(DWORD version) { reportedVersion = version; }

void winsimAdvanceTickCount(DWORD milliseconds) { tickOffset += milliseconds; }

DWORD WINAPI GetVersion(void) { return reportedVersion; }

DWORD WINAPI GetTickCount(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t milliseconds = (uint64_t)now.tv_sec * 1000u + (uint64_t)now.tv_nsec / 1000000u;
  return (DWORD)milliseconds + tickOffset;
}

void WINAPI GetLocalTime(LPSYSTEMTIME time) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm local;
  localtime_r(&now.tv_sec, &local);
  *time = SYSTEMTIME{(WORD)(local.tm_year + 1900), (WORD)(local.tm_mon + 1), (WORD)local.tm_wday,
                     (WORD)local.tm_mday, (WORD)local.tm_hour, (WORD)local.tm_min,
                     (WORD)local.tm_sec, (WORD)(now.tv_nsec / 1000000)};
}

void WINAPI Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) pause();
  }
  sleepFor(milliseconds);
}

}  // extern "C"
