// The left and right buttons, the wheel and every message without a row of
// its own.
#pragma once

#include <windows.h>

#include "hooks/mouse_event.h"

LRESULT handleLeftPress(const MouseEvent *event);
LRESULT handleLeftRelease(const MouseEvent *event);
LRESULT handleLeftDoubleClick(const MouseEvent *event);
LRESULT handleRightPress(const MouseEvent *event);
LRESULT handleOtherMessage(const MouseEvent *event);
