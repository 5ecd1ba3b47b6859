// winsim controls for the simulated desktop (windows, threads, messages,
// hooks, input, settings). Host build only: Windows has no API for these.
#pragma once

#include "winsim/wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

// ---- the whole desktop ----------------------------------------------------------
// Forgets every window, class, hook, queue, record, setting and thread:
// the next call sees a fresh desktop with one thread (the current one) and
// the built-in classes. Sends no messages.
void winsimResetDesktop(void);

// ---- simulated threads ---------------------------------------------------------------
// Everything runs on one OS thread. A simulated thread owns the windows
// created while it is current and has its own message queue, active window
// and focus. GetCurrentThreadId names the current one.
DWORD winsimCreateThread(void);  // in the current process
DWORD winsimCreateThreadInProcess(DWORD processId);
DWORD winsimSetCurrentThread(DWORD threadId);  // returns the previous one
// Lets `threadId` run as its message loop would: it carries out the window
// moves and activations other threads asked of it, then dispatches every
// message posted to it (WM_QUIT stays queued). Returns the number of
// messages dispatched.
int winsimRunThread(DWORD threadId);
int winsimPendingEventCount(DWORD threadId);  // moves/activations not yet run
int winsimQueuedMessageCount(DWORD threadId);
// A hung thread retrieves no messages: SendMessageTimeoutA from another
// thread to one of its windows times out (at once: nothing here waits).
// SendMessageA, which would wait for ever on Windows, still gets its answer.
void winsimHangThread(DWORD threadId, BOOL hung);
// How many SendMessageA calls (one per window of a broadcast) went to a
// hung thread's window: on Windows each would have waited for ever.
int winsimHungWaitCount(void);

// GetMessageA blocks on Windows when the queue is empty; here it calls this
// handler (which may post messages) and, when still nothing is queued,
// returns 0 as if WM_QUIT (wParam 0) had arrived and counts an idle exit.
// MsgWaitForMultipleObjects with nothing ready calls it too; when still
// nothing is ready, a finite wait moves GetTickCount on by its time-out and
// answers WAIT_TIMEOUT (nothing really waits), and an endless one posts
// WM_QUIT (wParam 0) to the thread, answers that a message is there and
// counts an idle exit.
void winsimSetIdleHandler(void (*handler)(void));
int winsimIdleExitCount(void);

// The user presses the keystroke (modifiers MOD_*, virtual key) of a hot
// key: WM_HOTKEY is posted to the window that registered it. 0 when no hot
// key has that keystroke.
int winsimPressHotKey(UINT modifiers, UINT virtualKey);

// ---- the desktop window manager ------------------------------------------------------
// Cloaks `window` (`reason` one or more of DWM_CLOAKED_APP, _SHELL,
// _INHERITED) or, with 0, shows it again: its styles, rectangle and
// z-order stay as they are; only DwmGetWindowAttribute(DWMWA_CLOAKED)
// tells. 0 for a window that does not exist.
int winsimSetWindowCloaked(HWND window, DWORD reason);
// How often DwmGetWindowAttribute was called since the last clear of the
// records.
int winsimDwmAttributeCallCount(void);

// ---- scaled displays ------------------------------------------------------------------
// Makes `window` one of a program that declared no DPI awareness, on a
// display scaled to `percent` (150 for 150 %): the system virtualises its
// coordinates, so it reads the points of messages sent to it (WM_NCHITTEST)
// as physical × 100 / percent. Every other window, and the caller, work in
// physical coordinates. 0 for a window that does not exist or a percent
// below 100.
int winsimSetWindowDpiScale(HWND window, int percent);

// ---- mouse input -----------------------------------------------------------------------
// A mouse message as the thread of `window` retrieves it: puts the cursor
// at `point`, makes that thread's process the one that received the last
// input event (the foreground lock), runs the WH_MOUSE chain with a
// MOUSEHOOKSTRUCTEX (pt, window, hit-test code, no mouseData); unless it returns non-zero,
// lets a button press activate its top-level window the way the system
// does (WM_MOUSEACTIVATE), runs the WH_GETMESSAGE chain and calls the window
// procedure with the message as that chain left it. Returns 1 when the
// window received the message, 0 when it was discarded (WM_NULL counts as
// discarded). Each hook of a chain runs where Windows runs it (hooks.cpp):
// in the window's process when its library can be loaded there, else a
// WH_MOUSE hook on its installer's thread, from where the chain goes on.
int winsimMouseInput(UINT message, POINT point, HWND window, int hitTestCode);

// ---- records -----------------------------------------------------------------------------
// Each record keeps the newest entries (older ones drop out once full);
// index 0 is the oldest kept.
void winsimClearRecords(void);  // all of the records below, and the counters

enum { WINSIM_SENT = 0, WINSIM_POSTED = 1 };
typedef struct WinsimMessageRecord {
  HWND window;  // NULL for PostThreadMessageA
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int kind;        // WINSIM_SENT or WINSIM_POSTED
  DWORD threadId;  // the thread that made the call
} WinsimMessageRecord;
int winsimMessageRecordCount(void);
const WinsimMessageRecord *winsimMessageRecord(int index);
// How many recorded calls match; a window of NULL or a kind of -1 matches any.
int winsimCountMessages(HWND window, UINT message, int kind);

typedef struct WinsimKeyRecord {
  BYTE virtualKey;
  BYTE scanCode;
  DWORD flags;
  ULONG_PTR extraInfo;
  // The SendInput call that carried the stroke, counted from 1 since the
  // last clear of the records; 0 for a keybd_event call.
  int batch;
} WinsimKeyRecord;
int winsimKeyRecordCount(void);
const WinsimKeyRecord *winsimKeyRecord(int index);

typedef struct WinsimSettingRecord {
  UINT action;
  UINT uiParam;
  PVOID pvParam;
  UINT winIni;
} WinsimSettingRecord;
int winsimSettingRecordCount(void);
const WinsimSettingRecord *winsimSettingRecord(int index);

typedef struct WinsimWindowPosRecord {
  HWND window;
  HWND insertAfter;
  int x, y, cx, cy;
  UINT flags;
} WinsimWindowPosRecord;
int winsimWindowPosRecordCount(void);
const WinsimWindowPosRecord *winsimWindowPosRecord(int index);

int winsimForegroundRecordCount(void);
HWND winsimForegroundRecord(int index);  // the window SetForegroundWindow was given

enum { WINSIM_MESSAGE_BOX_TEXT = 256 };
typedef struct WinsimMessageBoxRecord {
  HWND owner;
  char text[WINSIM_MESSAGE_BOX_TEXT];  // MessageBoxA: the bytes as given, cut to fit
  char caption[WINSIM_MESSAGE_BOX_TEXT];
  UINT type;
  BOOL wide;                               // MessageBoxW: the text is in these instead
  WCHAR wideText[WINSIM_MESSAGE_BOX_TEXT];  // cut to fit
  WCHAR wideCaption[WINSIM_MESSAGE_BOX_TEXT];
} WinsimMessageBoxRecord;
int winsimMessageBoxRecordCount(void);
const WinsimMessageBoxRecord *winsimMessageBoxRecord(int index);

typedef struct WinsimHookCallRecord {
  HHOOK hook;
  int code;
  WPARAM wParam;
  LPARAM lParam;
} WinsimHookCallRecord;
int winsimCallNextHookRecordCount(void);
const WinsimHookCallRecord *winsimCallNextHookRecord(int index);

// How often GetClassNameA was called since the last clear.
int winsimGetClassNameCallCount(void);

// ---- hooks ----------------------------------------------------------------------------------
// CallNextHookEx returns this when no further hook is installed (default 0).
void winsimSetCallNextHookResult(LRESULT result);
void winsimFailSetWindowsHook(BOOL fail);     // SetWindowsHookExA returns NULL
void winsimFailUnhookWindowsHook(BOOL fail);  // UnhookWindowsHookEx returns FALSE
int winsimInstalledHookCount(int idHook);
// Makes `processId` (winsimCreateThreadInProcess) a program of the other
// bitness than the test program's (32-bit beside 64-bit). A global hook's
// library has its installer's bitness and loads only into programs of
// that bitness.
void winsimSetProcessOfOtherBitness(DWORD processId, BOOL other);
// Makes `processId` a Store app: no global hook's library loads into it.
void winsimSetStoreAppProcess(DWORD processId, BOOL storeApp);

// ---- the foreground lock ----------------------------------------------------------------
// SetForegroundWindow succeeds only for the foreground process, the process
// that received the last input event, when there is no foreground window,
// or when the lock time-out (SPI_SETFOREGROUNDLOCKTIMEOUT, 200,000 ms after
// a reset) is 0; otherwise it flashes the window and changes nothing.
// winsimMouseInput gives the last input event to the window's process; a
// reset, to the test program's.
void winsimSetLastInputProcess(DWORD processId);
// How often SetForegroundWindow flashed `window` instead of activating it.
int winsimWindowFlashCount(HWND window);

// ---- settings -------------------------------------------------------------------------------
void winsimSetActiveWindowTracking(BOOL enabled);
BOOL winsimActiveWindowTracking(void);
// SPI_GET/SETACTIVEWINDOWTRACKING fail, as on systems without the setting.
void winsimFailActiveWindowTracking(BOOL fail);
void winsimSetSystemMetric(int index, int value);  // e.g. SM_CXDRAG

#ifdef __cplusplus
}
#endif
