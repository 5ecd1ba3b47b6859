#include "windows/lowering.h"

#include <windows.h>

#include "config/image_layout.h"
#include "windows/activation.h"
#include "windows/navigation.h"

// When the window belongs to another thread the lowering is only a request
// and the walk may still find the window itself on top; it is then
// activated again, which is also what happens when it is the only eligible
// window.
void lowerAndSwitch(HWND window, int minimizedPolicy, int isMdiChild) {
  lowerWindow(window);
  HWND next = nextEligibleWindow(window, GW_HWNDFIRST);
  if (isMdiChild == 1) {
    activateMdiChild(next, GW_HWNDNEXT, minimizedPolicy);
  } else {
    activateTopLevel(next, GW_HWNDNEXT, minimizedPolicy);
  }
}

void lowerAndSwitchToOther(HWND window, int minimizedPolicy) {
  lowerWindow(window);
  HWND candidate = minimizedPolicy == POLICY_SKIP ? nextNormalWindow(window, GW_HWNDFIRST)
                                                  : nextEligibleWindow(window, GW_HWNDFIRST);
  // Still on top: the lowering has not taken effect yet, so the window that
  // will lead once it has is the one just below.
  if (candidate == window) candidate = nextEligibleWindow(window, GW_HWNDNEXT);
  activateTopLevel(candidate, GW_HWNDNEXT, minimizedPolicy);
}
