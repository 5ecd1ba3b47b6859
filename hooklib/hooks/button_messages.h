// The left button's handlers (the dispatcher's table names them).
#pragma once

#include <windows.h>

#include "hooks/mouse_event.h"

LRESULT handleLeftPress(const MouseEvent *event);
LRESULT handleLeftRelease(const MouseEvent *event);
LRESULT handleLeftDoubleClick(const MouseEvent *event);
