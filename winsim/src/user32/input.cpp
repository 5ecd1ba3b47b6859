// Simulated input: key strokes of keybd_event and SendInput (recorded,
// tracked in the key state, and delivered to the focus window of the
// foreground thread as key messages),
// the cursor's position, and winsimMouseInput, a mouse message as its
// window's thread retrieves it, with the WH_MOUSE hooks deciding whether
// the window gets it.
#include <windows.h>

#include "desktop_state.h"
#include "key_input.h"
#include "records.h"
#include "winsim/control.h"

namespace winsim {

namespace {

constexpr LPARAM KEY_EXTENDED = 1L << 24;
constexpr LPARAM KEY_CONTEXT = 1L << 29;
constexpr LPARAM KEY_RELEASED = (LPARAM)(0x3UL << 30);

void updateKeyState(BYTE key, bool down) {
  BYTE *keys = desktop().keyDown;
  keys[key] = down;
  if (key == VK_LSHIFT || key == VK_RSHIFT) keys[VK_SHIFT] = keys[VK_LSHIFT] || keys[VK_RSHIFT];
  if (key == VK_LCONTROL || key == VK_RCONTROL)
    keys[VK_CONTROL] = keys[VK_LCONTROL] || keys[VK_RCONTROL];
  if (key == VK_LMENU || key == VK_RMENU) keys[VK_MENU] = keys[VK_LMENU] || keys[VK_RMENU];
}

// Key messages carry the generic code of a left or right Shift, Ctrl or
// Alt: the left/right codes are "available to an application only
// through" the key-state functions and MapVirtualKey.
WPARAM messageKey(BYTE key) {
  if (key == VK_LSHIFT || key == VK_RSHIFT) return VK_SHIFT;
  if (key == VK_LCONTROL || key == VK_RCONTROL) return VK_CONTROL;
  if (key == VK_LMENU || key == VK_RMENU) return VK_MENU;
  return key;
}

void deliverKey(BYTE key, BYTE scanCode, DWORD flags) {
  Thread *t = findThread(desktop().foregroundThreadId);
  if (!t) return;
  HWND focus = validOrNull(t->focusWindow);
  HWND target = focus ? focus : t->activeWindow;
  if (!findWindow(target)) return;
  const BYTE *keys = desktop().keyDown;
  bool up = (flags & KEYEVENTF_KEYUP) != 0;
  bool alt = keys[VK_MENU] || key == VK_MENU || key == VK_LMENU || key == VK_RMENU;
  bool system = !focus || (alt && !keys[VK_CONTROL]);
  UINT message = system ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
  LPARAM lParam = 1 | ((LPARAM)scanCode << 16) |
                  ((flags & KEYEVENTF_EXTENDEDKEY) ? KEY_EXTENDED : 0) | (alt ? KEY_CONTEXT : 0) |
                  (up ? KEY_RELEASED : 0);
  postInternal(target, message, messageKey(key), lParam);
}

bool isButtonDown(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCXBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

bool isNonClient(UINT message) { return message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONUP; }

// A press on a window whose top-level window is not active asks the window
// (WM_MOUSEACTIVATE) and activates as answered; false when the answer eats
// the click.
bool activateOnClick(HWND window, UINT message, int hitTestCode) {
  HWND root = GetAncestor(window, GA_ROOT);
  if (!root || (root == GetActiveWindow() && root == GetForegroundWindow())) return true;
  LRESULT answer =
      sendInternal(window, WM_MOUSEACTIVATE, (WPARAM)root, MAKELPARAM(hitTestCode, message));
  if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && canActivate(root))
    setForeground(root, true);
  return answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT;
}

MSG mouseMessage(UINT message, POINT point, HWND window, int hitTestCode) {
  MSG msg = {window, message, 0, MAKELPARAM(point.x, point.y), GetTickCount(), point};
  if (isNonClient(message)) {
    msg.wParam = (WPARAM)hitTestCode;
  } else if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) {
    Window *w = findWindow(window);
    POINT origin = clientOriginOf(indexOf(*w));
    msg.lParam = MAKELPARAM(point.x - origin.x, point.y - origin.y);
  }
  return msg;
}

}  // namespace

void injectKey(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo, int batch) {
  recordKey(virtualKey, scanCode, flags, extraInfo, batch);
  updateKeyState(virtualKey, !(flags & KEYEVENTF_KEYUP));
  deliverKey(virtualKey, scanCode, flags);
}

}  // namespace winsim

using namespace winsim;

extern "C" {

void WINAPI keybd_event(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo) {
  injectKey(virtualKey, scanCode, flags, extraInfo, 0);
}

short WINAPI GetAsyncKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  return desktop().keyDown[virtualKey] ? (short)0x8000 : 0;
}

short WINAPI GetKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

BOOL WINAPI GetCursorPos(LPPOINT point) {
  if (!point) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *point = desktop().cursor;
  return TRUE;
}

// The cursor stays on the screen, as the system keeps it.
BOOL WINAPI SetCursorPos(int x, int y) {
  Desktop &d = desktop();
  int right = d.systemMetrics[SM_CXSCREEN] - 1;
  int bottom = d.systemMetrics[SM_CYSCREEN] - 1;
  d.cursor.x = x < 0 ? 0 : x > right ? right : x;
  d.cursor.y = y < 0 ? 0 : y > bottom ? bottom : y;
  return TRUE;
}

int winsimMouseInput(UINT message, POINT point, HWND window, int hitTestCode) {
  Window *w = findWindow(window);
  if (!w) return 0;
  desktop().cursor = point;
  AsThread owningThread(w->threadId);
  // The input event is the process's that retrieves it: from now on it
  // may set the foreground window (activation.cpp).
  desktop().lastInputProcessId = GetCurrentProcessId();
  MOUSEHOOKSTRUCTEX info;
  info.pt = point;
  info.hwnd = window;
  info.wHitTestCode = (UINT)hitTestCode;
  info.dwExtraInfo = 0;
  info.mouseData = 0;
  if (runHookChain(WH_MOUSE, HC_ACTION, message, (LPARAM)&info)) return 0;
  if (!findWindow(window)) return 0;
  if (isButtonDown(message) && !activateOnClick(window, message, hitTestCode)) return 0;
  if (!findWindow(window)) return 0;
  MSG msg = mouseMessage(message, point, window, hitTestCode);
  runHookChain(WH_GETMESSAGE, HC_ACTION, PM_REMOVE, (LPARAM)&msg);
  if (msg.message == WM_NULL || !findWindow(msg.hwnd)) return 0;
  callProcedure(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  return 1;
}

}  // extern "C"
