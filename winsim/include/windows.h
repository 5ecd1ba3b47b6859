// winsim: the host build's stand-in for the Win32 platform headers. The
// production code includes <windows.h> as it would on Windows; in the host
// build this header, and winsim's library behind it, answer instead.
#pragma once

#include "winsim/wintypes.h"
#include "winsim/kernel.h"
#include "winsim/user.h"
