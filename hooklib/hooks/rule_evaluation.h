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

// 1 when a middle press decided by precheckDownEvent reaches its window
// once the release's list has chosen `action` (NULL: none): the action
// lets the click through; 0 when the press is swallowed.
int precheckLetsPressThrough(const char *action);
