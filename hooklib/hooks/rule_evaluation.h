// Rule evaluation: from a mouse button message and the rule list configured
// for it to a HookVerdict.
#pragma once

#include <windows.h>

#include "config/image_layout.h"

// Walks the list at `listOffset` (-1: none) for `message`, runs the winning
// rule's action and returns the HookVerdict.
LRESULT evaluateList(ImageOffset listOffset, UINT message, const MOUSEHOOKSTRUCT *mouseHookStruct);

// Decides a middle-button down message from the list of its up event
// without running any action.
LRESULT precheckDownEvent(ImageOffset listOffset, UINT message,
                          const MOUSEHOOKSTRUCT *mouseHookStruct);
