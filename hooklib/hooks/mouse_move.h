// Mouse moves: move protection, and focus-follows-mouse masking.
#pragma once

#include <windows.h>

#include "hooks/mouse_event.h"

LRESULT handleMove(const MouseEvent *event);
