// The simulated desktop's state: fixed tables of windows, classes, threads
// and hooks, shared by the USER32 files of winsim. Everything lives in
// static arrays so that the calls the hook library makes never allocate.
#pragma once

#include <windows.h>

namespace winsim {

constexpr int MAX_WINDOWS = 512;
constexpr int MAX_CLASSES = 64;
constexpr int MAX_THREADS = 32;
constexpr int MAX_ATOMS = 256;
constexpr int MAX_HOOKS = 64;
constexpr int QUEUE_CAPACITY = 256;
constexpr int EVENT_CAPACITY = 64;
constexpr int NAME_CAPACITY = 256;
constexpr int TEXT_CAPACITY = 256;
constexpr int EXTRA_BYTES_CAPACITY = 64;
constexpr int PROPERTY_CAPACITY = 8;
constexpr int PROPERTY_NAME_CAPACITY = 64;
constexpr int METRIC_COUNT = 100;
constexpr int NO_WINDOW = -1;
constexpr int DESKTOP_INDEX = 0;
constexpr ATOM FIRST_USER_ATOM = 0xC000;

struct WindowClass {
  bool inUse;
  bool builtin;
  ATOM atom;
  char name[NAME_CAPACITY];
  UINT style;
  WNDPROC proc;
  int extraBytes;
  HINSTANCE instance;
  int windowCount;
};

struct Window {
  bool inUse;
  bool destroying;
  HWND handle;
  int classIndex;
  DWORD threadId;
  // Links: parent and owner, and the sibling list, first child highest.
  int parent;
  int owner;
  int firstChild;
  int lastChild;
  int next;
  int prev;
  DWORD style;
  DWORD exStyle;
  // Window rectangle in the parent's client coordinates.
  RECT rect;
  // Where a restore puts the window back.
  RECT normalRect;
  bool restoreToMaximized;
  bool hiddenByOwner;
  WNDPROC proc;
  HINSTANCE instance;
  LONG_PTR id;
  LONG_PTR userData;
  BYTE extra[EXTRA_BYTES_CAPACITY];
  int extraSize;
  char text[TEXT_CAPACITY];
  HWND lastActivePopup;
  // How often the system flashed the window's taskbar button instead of
  // bringing it to the foreground (the foreground lock).
  int flashCount;
  // What DwmGetWindowAttribute(DWMWA_CLOAKED) answers: 0, or why the
  // desktop window manager cloaks the window (DWM_CLOAKED_*).
  DWORD cloaked;
  // The display's scale as the window's program sees it: 0 (or 100) when
  // its coordinates are physical ones, else the percentage by which the
  // system scales a program that declared no DPI awareness.
  int dpiScalePercent;
  // The window's property list (SetPropA): names as given, compared
  // without regard to case as atoms are.
  struct Property {
    char name[PROPERTY_NAME_CAPACITY];
    HANDLE data;
  } properties[PROPERTY_CAPACITY];
  int propertyCount;
  // MDI client windows only.
  HWND mdiActiveChild;
  UINT mdiFirstChildId;
};

// Work a thread carries out the next time it retrieves messages: moves
// requested with SWP_ASYNCWINDOWPOS, activation changes requested by other
// threads, and the raise that follows an activation.
enum EventKind { EVENT_WINDOW_POS, EVENT_ACTIVATE, EVENT_DEACTIVATE, EVENT_RAISE };

struct ThreadEvent {
  EventKind kind;
  HWND window;
  HWND insertAfter;
  int x, y, cx, cy;
  UINT flags;
};

struct Thread {
  bool inUse;
  DWORD id;
  DWORD processId;
  HWND activeWindow;
  HWND focusWindow;
  MSG queue[QUEUE_CAPACITY];
  int queueHead;
  int queueCount;
  ThreadEvent events[EVENT_CAPACITY];
  int eventHead;
  int eventCount;
  bool quitPosted;
  int quitCode;
  // Set by winsimHangThread: the thread answers no message another thread
  // sends with a timeout.
  bool hung;
};

struct Hook {
  bool inUse;
  int type;
  HOOKPROC proc;
  HINSTANCE module;
  DWORD threadId;
  unsigned serial;
  HHOOK handle;
  DWORD installerThreadId;   // the thread that called SetWindowsHookExA
  DWORD installerProcessId;  // and its process, whose bitness the hook's library has
};

// A hot key registered with RegisterHotKey: its window, its identifier and
// its keystroke (modifiers without MOD_NOREPEAT, and the virtual key).
struct HotKey {
  HWND window;
  int id;
  UINT modifiers;
  UINT virtualKey;
};
constexpr int MAX_HOT_KEYS = 16;

struct Desktop {
  Window windows[MAX_WINDOWS];
  WindowClass classes[MAX_CLASSES];
  Thread threads[MAX_THREADS];
  char atomNames[MAX_ATOMS][NAME_CAPACITY];
  int atomCount;
  Hook hooks[MAX_HOOKS];
  unsigned nextHookSerial;
  DWORD nextThreadId;
  DWORD currentThreadId;
  DWORD foregroundThreadId;
  BYTE keyDown[256];
  POINT cursor;
  int systemMetrics[METRIC_COUNT];
  BOOL activeWindowTracking;
  bool failActiveWindowTracking;
  bool failSetHook;
  bool failUnhook;
  LRESULT callNextHookResult;
  void (*idleHandler)(void);
  int idleExits;
  int hungWaits;  // sends that on Windows would wait for a hung thread for ever
  // Processes of the other bitness (winsimSetProcessOfOtherBitness).
  DWORD otherBitnessProcesses[MAX_THREADS];
  // Processes of Store apps (winsimSetStoreAppProcess).
  DWORD storeAppProcesses[MAX_THREADS];
  // The foreground lock (SetForegroundWindow): the process that received
  // the last input event, and the lock time-out in milliseconds.
  DWORD lastInputProcessId;
  DWORD foregroundLockTimeout;
  HotKey hotKeys[MAX_HOT_KEYS];
  int hotKeyCount;
};

// The one desktop, made ready on first use and by winsimResetDesktop.
Desktop &desktop();
void resetDesktop();

// ---- windows ---------------------------------------------------------------
Window *findWindow(HWND handle);  // live windows only, not the desktop
Window *findWindowOrDesktop(HWND handle);
Window &windowAt(int index);
int indexOf(const Window &window);
HWND handleOf(int index);  // NULL for NO_WINDOW
HWND desktopHandle();
HWND allocateHandle(int index);
bool isTopLevel(const Window &window);
bool isChildStyle(const Window &window);
int topLevelAncestor(int index);
// Whether `window` is `ancestor` or lies anywhere below it; false when
// either is no live window.
bool isInside(HWND window, HWND ancestor);
HWND validOrNull(HWND window);  // `window` while it is a live window, else NULL

// ---- threads ---------------------------------------------------------------
Thread *findThread(DWORD id);
Thread &currentThread();
DWORD createThread(DWORD processId);
// Whether a thread of process `processId` exists: the processes winsim knows.
bool processHasThread(DWORD processId);
void pushEvent(DWORD threadId, const ThreadEvent &event);
// Runs what other threads asked of `threadId` (see ThreadEvent).
void runPendingEvents(DWORD threadId);

// Runs the following code as thread `threadId`, as Windows does when one
// thread's window procedure answers another's SendMessage.
class AsThread {
 public:
  explicit AsThread(DWORD threadId);
  ~AsThread();
  AsThread(const AsThread &) = delete;
  AsThread &operator=(const AsThread &) = delete;

 private:
  DWORD saved;
};

// ---- classes and atoms -------------------------------------------------------
int findClass(LPCSTR nameOrAtom);
ATOM addAtom(LPCSTR name);
void registerBuiltinClasses();
LRESULT CALLBACK mdiClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- messages ---------------------------------------------------------------
// Sends as the system does for its own notifications: not recorded, hooks
// run, another thread's window answers as that thread.
LRESULT sendInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool postInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void dropQueuedMessagesFor(HWND window);
LRESULT callProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- geometry -----------------------------------------------------------------
RECT frameInsets(DWORD style, DWORD exStyle);
RECT screenRectOf(const Window &window);
POINT clientOriginOf(int index);
RECT clientRectOf(const Window &window);
RECT maximizedRect(const Window &window);
RECT minimizedRect(const Window &window);
LRESULT hitTest(HWND window, POINT screenPoint);
// A point in `window`'s own coordinates, in physical screen coordinates.
POINT physicalFromWindowPoint(HWND window, POINT point);

// ---- z-order and positions -------------------------------------------------------
void unlinkWindow(Window &window);
void appendChild(int parentIndex, Window &window);
bool linkWindow(Window &window, HWND insertAfter);
BOOL setWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
void raiseSilently(HWND window);
int collectChildren(int parentIndex, HWND *handles, int capacity);

// ---- showing -----------------------------------------------------------------
BOOL showWindow(HWND window, int command);
// Puts `w` into the state of a ShowWindow command and gives the rectangle
// of that state; false when it is in that state already.
bool changeWindowState(Window &w, int command, RECT &rect);
void showOwnedPopups(HWND owner, bool show);

// ---- activation --------------------------------------------------------------------
HWND setActiveWindow(HWND window, bool raise);
HWND setFocusWindow(HWND window);
BOOL setForeground(HWND window, bool raise);
void activateOtherWindow(HWND window);
bool canActivate(HWND window);
void forgetWindow(HWND window);

// ---- MDI ----------------------------------------------------------------------
void mdiActivate(HWND client, HWND child);
UINT nextMdiChildId(const Window &client);

// ---- hooks ----------------------------------------------------------------------
LRESULT runHookChain(int type, int code, WPARAM wParam, LPARAM lParam);
// True when `processId` was made a process of the other bitness than the
// test program's (winsimSetProcessOfOtherBitness).
bool isOtherBitness(DWORD processId);
// True when `processId` was made a Store app (winsimSetStoreAppProcess).
bool isStoreApp(DWORD processId);

}  // namespace winsim
