// The topmost band of the z-order ("always on top").
#pragma once

#include <windows.h>

// Makes the outermost parent of `window` topmost, or not topmost when it
// is, without activating it or waiting for its thread.
void toggleTopmost(HWND window);
