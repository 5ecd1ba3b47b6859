// System metrics and parameters, message boxes, and the cursors the daemon
// asks for (fake, non-null handles).
#include <windows.h>

#include "desktop_state.h"
#include "records.h"

namespace winsim {

namespace {

constexpr uintptr_t CURSOR_HANDLE_BASE = 0x50000;

BOOL activeWindowTracking(UINT action, PVOID pvParam) {
  Desktop &d = desktop();
  if (d.failActiveWindowTracking) return FALSE;
  if (action == SPI_SETACTIVEWINDOWTRACKING) {
    d.activeWindowTracking = pvParam != NULL;
    return TRUE;
  }
  if (!pvParam) return FALSE;
  *(BOOL *)pvParam = d.activeWindowTracking;
  return TRUE;
}

// The drag rectangle's size travels in uiParam; GetSystemMetrics reports it.
BOOL setDragMetric(int metric, UINT pixels) {
  desktop().systemMetrics[metric] = (int)pixels;
  return TRUE;
}

// The time-out travels in pvParam itself when it is set, and comes back
// through a DWORD pvParam points at.
BOOL foregroundLockTimeout(UINT action, PVOID pvParam) {
  Desktop &d = desktop();
  if (action == SPI_SETFOREGROUNDLOCKTIMEOUT) {
    d.foregroundLockTimeout = (DWORD)(UINT_PTR)pvParam;
    return TRUE;
  }
  if (!pvParam) return FALSE;
  *(DWORD *)pvParam = d.foregroundLockTimeout;
  return TRUE;
}

}  // namespace

}  // namespace winsim

using namespace winsim;

extern "C" {

int WINAPI GetSystemMetrics(int index) {
  if (index < 0 || index >= METRIC_COUNT) return 0;
  return desktop().systemMetrics[index];
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) {
  recordSetting(action, uiParam, pvParam, winIni);
  switch (action) {
    case SPI_GETACTIVEWINDOWTRACKING:
    case SPI_SETACTIVEWINDOWTRACKING:
      return activeWindowTracking(action, pvParam);
    case SPI_GETFOREGROUNDLOCKTIMEOUT:
    case SPI_SETFOREGROUNDLOCKTIMEOUT:
      return foregroundLockTimeout(action, pvParam);
    case SPI_SETDRAGWIDTH:
      return setDragMetric(SM_CXDRAG, uiParam);
    case SPI_SETDRAGHEIGHT:
      return setDragMetric(SM_CYDRAG, uiParam);
    case SPI_GETWORKAREA:
      if (!pvParam) return FALSE;
      *(RECT *)pvParam = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      return TRUE;
    default:
      return FALSE;
  }
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  recordMessageBox(owner, text, caption, type);
  return IDOK;
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  recordWideMessageBox(owner, text, caption, type);
  return IDOK;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR name) {
  return (HCURSOR)(CURSOR_HANDLE_BASE + ((uintptr_t)name & 0xFFFF));
}

void winsimSetActiveWindowTracking(BOOL enabled) { desktop().activeWindowTracking = enabled; }

BOOL winsimActiveWindowTracking(void) { return desktop().activeWindowTracking; }

void winsimFailActiveWindowTracking(BOOL fail) {
  desktop().failActiveWindowTracking = fail != FALSE;
}

void winsimSetSystemMetric(int index, int value) {
  if (index >= 0 && index < METRIC_COUNT) desktop().systemMetrics[index] = value;
}

}  // extern "C"
