// The two z-order moves. Both are asynchronous for windows of other
// threads (SWP_ASYNCWINDOWPOS): a hook must never wait for a thread that may
// itself be waiting, and so a walk right after a move may still see the old
// order.
#include "windows/navigation.h"

#include <windows.h>

namespace {

const UINT ZORDER_ONLY = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;

// A topmost window is lowered only among the topmost windows: it goes just
// below the lowest eligible topmost window, which the walk finds as the
// nearest eligible window above the highest eligible normal one. When that
// comes out as none, inserting after none would mean HWND_TOP, which
// raises instead of lowering; the window then stays where it is.
void lowerTopmostWindow(HWND window) {
  HWND firstNormal = nextEligibleWindow(window, GW_HWNDFIRST);
  HWND after = nextEligibleWindow(firstNormal, GW_HWNDPREV);
  if (after == NULL || after == window) return;
  SetWindowPos(window, after, 0, 0, 0, 0, ZORDER_ONLY);
}

}  // namespace

int raiseWithoutActivating(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, ZORDER_ONLY);
  return 1;
}

int lowerWindow(HWND window) {
  if (windowExStyle(window) & WS_EX_TOPMOST) {
    lowerTopmostWindow(window);
  } else {
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, ZORDER_ONLY);
  }
  return 1;
}
