#include "soak_windows.h"

#include <windows.h>

#include <stdio.h>

#include "soak_report.h"
#include "window_class.h"

namespace e2e {

const char *const SOAK_CLASS_NAMES[SOAK_CLASS_COUNT] = {"vornSoakPlain", "vornSoakGuarded",
                                                        "vornSoakOpen"};

namespace {

const char MARKER_CLASS[] = "vornSoakMarker";
const char *const CLASS_TITLES[SOAK_CLASS_COUNT] = {"Plain", "Guarded", "Open"};

SoakReport *activeReport = NULL;

int32_t windowIndex(HWND window) {
  for (int32_t i = 0; i < activeReport->requestCount; ++i) {
    if (activeReport->windows[i] == (uint64_t)(uintptr_t)window) return i;
  }
  return SOAK_UNKNOWN_WINDOW;
}

void logMessage(int32_t window, UINT message, POINT point) {
  SoakLogEntry &entry = activeReport->log[activeReport->logged % SOAK_LOG_CAPACITY];
  entry.window = window;
  entry.message = message;
  entry.x = point.x;
  entry.y = point.y;
  InterlockedIncrement(&activeReport->logged);  // a full barrier: the entry is seen first
}

void countSystemCommand(int32_t window, WPARAM command) {
  if (window < 0) return;
  if ((command & 0xFFF0) == SC_MAXIMIZE) {
    InterlockedIncrement(&activeReport->systemCommands[window][SOAK_MAXIMIZE_COMMAND]);
  }
  if ((command & 0xFFF0) == SC_RESTORE) {
    InterlockedIncrement(&activeReport->systemCommands[window][SOAK_RESTORE_COMMAND]);
  }
}

LRESULT CALLBACK soakWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (activeReport && isMouseMessage(message)) {
    logMessage(windowIndex(window), message, screenPointOf(window, message, lParam));
  }
  if (activeReport && message == WM_SYSCOMMAND) countSystemCommand(windowIndex(window), wParam);
  switch (message) {
    case WM_NCRBUTTONDOWN:  // would track the system menu in a modal loop
    case WM_CONTEXTMENU:
      return 0;
    case WM_NCLBUTTONDBLCLK:  // would maximise
      if (wParam == HTCAPTION) return 0;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Counted by point: a gesture waits for the first move at a point that the
// marker has not heard more often before, however long the log has grown.
void countMarkerMove(POINT point) {
  for (int i = 0; i < SOAK_MARKER_POINTS; ++i) {
    bool unused = activeReport->markerMoves[i] == 0;
    POINT &known = activeReport->markerPoints[i];
    if (unused) known = point;
    if (known.x != point.x || known.y != point.y) continue;
    InterlockedIncrement(&activeReport->markerMoves[i]);
    return;
  }
}

LRESULT CALLBACK markerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (activeReport && message == WM_MOUSEMOVE) {
    POINT point = screenPointOf(window, message, lParam);
    logMessage(SOAK_MARKER, message, point);
    countMarkerMove(point);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool isFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
      return true;
    default:
      return false;
  }
}

// Sees every exception first, before any handler of the code that raised
// it or of the system that called that code.
LONG CALLBACK recordFault(EXCEPTION_POINTERS *exception) {
  const EXCEPTION_RECORD *record = exception->ExceptionRecord;
  if (!activeReport || !isFault(record->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  LONG number = InterlockedIncrement(&activeReport->faults) - 1;
  if (number >= SOAK_FAULTS_KEPT) return EXCEPTION_CONTINUE_SEARCH;
  SoakFault &fault = activeReport->firstFaults[number];
  fault.code = record->ExceptionCode;
  fault.address = (uint64_t)(uintptr_t)record->ExceptionAddress;
  HMODULE module = NULL;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      (LPCSTR)record->ExceptionAddress, &module);
  if (!module || !GetModuleFileNameA(module, fault.module, sizeof fault.module)) {
    lstrcpynA(fault.module, "no module", sizeof fault.module);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

void registerClasses() {
  static bool registered = false;
  if (registered) return;
  for (const char *name : SOAK_CLASS_NAMES) registerPlainWindowClass(name, soakWindowProc);
  registerPlainWindowClass(MARKER_CLASS, markerWindowProc);
  registered = true;
}

HWND createWindow(const SoakWindowRequest &request, const char *owner, int number) {
  if (request.windowClass < 0 || request.windowClass >= SOAK_CLASS_COUNT) return NULL;
  char title[64];
  snprintf(title, sizeof title, "%s %s %d", owner, CLASS_TITLES[request.windowClass], number);
  return CreateWindowExA(0, SOAK_CLASS_NAMES[request.windowClass], title,
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, request.left, request.top, request.width,
                         request.height, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

}  // namespace

void useSoakReport(SoakReport *report) {
  registerClasses();
  static bool watching = false;
  if (!watching) AddVectoredExceptionHandler(1, recordFault);
  watching = true;
  activeReport = report;
}

bool createSoakWindows(SoakReport *report, const char *owner) {
  useSoakReport(report);
  if (report->requestCount < 0 || report->requestCount > SOAK_MOST_WINDOWS) return false;
  for (int32_t i = 0; i < report->requestCount; ++i) {
    HWND window = createWindow(report->requests[i], owner, i + 1);
    if (!window) return false;
    report->windows[i] = (uint64_t)(uintptr_t)window;
  }
  HWND marker = createMarkerWindowAt(MARKER_CLASS, "vorn soak marker", report->markerCorner);
  if (!marker) return false;
  report->marker = (uint64_t)(uintptr_t)marker;
  InterlockedExchange(&report->ready, 1);
  return true;
}

}  // namespace e2e
