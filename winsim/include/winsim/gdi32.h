// GDI32 as winsim provides it: the stock objects the daemon's window class
// asks for.
#pragma once

#include "winsim/wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define WHITE_BRUSH 0

HGDIOBJ WINAPI GetStockObject(int object);

#ifdef __cplusplus
}
#endif
