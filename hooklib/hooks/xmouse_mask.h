// Focus-follows-mouse masking: keeps the system's active window tracking
// off while the pointer is over windows the MaskXMOUSE match names (unless
// they are on top), and for a while after the foreground window changed
// under a pointer resting on another window.
#pragma once

#include <windows.h>

#include "config/image_layout.h"

// Run on every move while masking is on: updates the activation hold from
// the last foreground change and the window under the pointer, then
// switches tracking. Returns the move's HookVerdict.
LRESULT maskFocusFollowsMouse(const MOUSEHOOKSTRUCT *mouseHookStruct);

// 1 (MA_ACTIVATE) when the window under the pointer is not masked, after
// switching tracking on; 3 (MA_NOACTIVATE) when it is, after switching
// tracking off under the system-tracking mode.
LRESULT xmouseMaskCheck(ImageOffset matchOffset, const MOUSEHOOKSTRUCT *mouseHookStruct);

// A button press ends the hold on focus-follows-mouse.
void endActivationHold(void);
