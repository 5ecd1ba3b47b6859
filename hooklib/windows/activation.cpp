// Activating the window an action has chosen, with the MinimizedPolicy
// applied when that window is minimised.
#include "windows/activation.h"

#include <windows.h>

#include "config/image_layout.h"
#include "windows/last_activated_window.h"
#include "windows/navigation.h"

namespace {

// Bounds the MDI skip loop like a walk: under a z-order that keeps changing
// it must still end.
const int MAX_SKIPPED_CHILDREN = 65536;

int isMinimized(HWND window) { return (windowStyle(window) & WS_MINIMIZE) != 0; }

// A minimised window only counts as minimised to an action that has a
// policy for it.
int appliesPolicy(HWND window, int minimizedPolicy) {
  return minimizedPolicy != POLICY_NONE && isMinimized(window);
}

void bringToForeground(HWND window) {
  if (window == NULL) return;
  SetForegroundWindow(window);
  raiseWithoutActivating(window);
}

void bringChildForward(HWND child) {
  if (child == NULL) return;
  raiseWithoutActivating(child);
  SendMessageA(child, WM_CHILDACTIVATE, 0, 0);
}

void askToRestore(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0); }

HWND firstUnminimizedChild(HWND child, UINT direction) {
  for (int steps = 0; child != NULL && isMinimized(child); ++steps) {
    if (steps == MAX_SKIPPED_CHILDREN) return NULL;
    child = nextEligibleWindow(child, direction);
  }
  return child;
}

}  // namespace

void activateTopLevel(HWND window, UINT direction, int minimizedPolicy) {
  if (window == NULL) return;
  if (!appliesPolicy(window, minimizedPolicy)) {
    bringToForeground(window);
  } else if (minimizedPolicy == POLICY_SKIP) {
    bringToForeground(nextNormalWindow(window, direction));
  } else {
    askToRestore(window);
  }
}

void activateMdiChild(HWND window, UINT direction, int minimizedPolicy) {
  if (window == NULL) return;
  if (!appliesPolicy(window, minimizedPolicy)) {
    bringChildForward(window);
  } else if (minimizedPolicy == POLICY_SKIP) {
    bringChildForward(firstUnminimizedChild(window, direction));
  } else {
    askToRestore(window);
  }
}

// A document is activated by its MDI client window, on the document's own
// thread and in its own time; the foreground stays where it is. A top-level
// window is raised first and then made the foreground window.
void activateWindow(HWND window, int isMdiChild) {
  if (window == NULL) return;
  if (isMdiChild == 1) {
    PostMessageA(GetParent(window), WM_MDIACTIVATE, (WPARAM)window, 0);
    return;
  }
  raiseWithoutActivating(window);
  SetForegroundWindow(window);
}

// A last activated window that has been destroyed since, or that the user
// can no longer see, is as good as none.
int ensureForegroundWindow(HWND window) {
  if (GetForegroundWindow() != NULL) return 1;
  HWND candidate = lastActivatedWindow;
  if (!IsWindow(candidate) || isCloakedWindow(candidate)) candidate = NULL;
  if (candidate == NULL) candidate = nextNormalWindow(window, GW_HWNDFIRST);
  if (candidate != NULL) SetForegroundWindow(candidate);
  return 1;
}
