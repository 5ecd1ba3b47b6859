// Rule evaluation: from a mouse button message and the rule list configured
// for it to a HookVerdict.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "config/image_layout.h"

// Walks the list at `listOffset` (-1: none) for `message`, runs the winning
// rule's action and returns the HookVerdict.
LRESULT evaluateList(ImageOffset listOffset, UINT message, const MOUSEHOOKSTRUCT *mouseHookStruct);

// Decides a middle-button down message from the list of its up event
// without running any action.
LRESULT precheckDownEvent(ImageOffset listOffset, UINT message,
                          const MOUSEHOOKSTRUCT *mouseHookStruct);

// The same, for a list offset read from the image at `generation`
// (imageGeneration): what the walk decides is carried out only when the
// image is still that one, whole; a walk that a reload overlapped decides
// nothing and the message goes on (MA_ACTIVATE).
LRESULT evaluateListSince(uint32_t generation, ImageOffset listOffset, UINT message,
                          const MOUSEHOOKSTRUCT *mouseHookStruct);
LRESULT precheckDownEventSince(uint32_t generation, ImageOffset listOffset, UINT message,
                               const MOUSEHOOKSTRUCT *mouseHookStruct);
