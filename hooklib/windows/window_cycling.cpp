#include "windows/window_cycling.h"

#include <windows.h>

#include "windows/activation.h"
#include "windows/last_activated_window.h"
#include "windows/lowering.h"
#include "windows/navigation.h"
#include "windows/system_commands.h"

namespace {

int isTopmost(HWND window) { return (windowExStyle(window) & WS_EX_TOPMOST) != 0; }

}  // namespace

// Below the top the clicked window is not what gets lowered: the window
// that leads the z-order is. The walk for the window to activate starts
// from it after it has been lowered: for a window of another thread the
// lowering is still pending and the walk finds the window that was just
// below it; for a window of this thread it has taken effect, the walk finds
// nothing and nothing is activated.
void likeAAltEsc(HWND window, int minimizedPolicy) {
  if (isTopOfZOrder(window)) {
    lowerAndSwitch(window, minimizedPolicy, 0);
    return;
  }
  // A topmost window was activated last: it stays in front anyway, so the
  // z-order is left alone and only the foreground moves.
  HWND lastActivated = lastActivatedWindow;
  if (lastActivated != NULL && isTopmost(lastActivated)) {
    HWND first = nextEligibleWindow(window, GW_HWNDFIRST);
    if (first != NULL) SetForegroundWindow(first);
    return;
  }
  HWND top = nextEligibleWindow(window, GW_HWNDFIRST);
  if (top == NULL) return;
  lowerWindow(top);
  activateTopLevel(nextEligibleWindow(top, GW_HWNDNEXT), GW_HWNDNEXT, minimizedPolicy);
}

void likeAAltShiftEsc(HWND window, int minimizedPolicy) {
  activateTopLevel(nextEligibleWindow(window, GW_HWNDLAST), GW_HWNDPREV, minimizedPolicy);
}

void minimizeTopWindow(HWND window, int minimizedPolicy) {
  HWND top = nextNormalWindow(window, GW_HWNDFIRST);
  if (window == top) {
    lowerAndSwitch(window, minimizedPolicy, 0);
    minimizeIfAllowed(window);
    return;
  }
  if (top == NULL) return;
  lowerAndSwitchToOther(top, minimizedPolicy);
  minimizeIfAllowed(top);
}
