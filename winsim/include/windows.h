// winsim: the host build's stand-in for the Win32 platform headers. The
// production code includes <windows.h> as it would on Windows; in the host
// build this header, and winsim's library behind it, answer instead. Each
// system DLL winsim stands in for has its header here and its sources in
// src/<dll>/; SHLWAPI's are reached through <shlwapi.h>, DWMAPI's through
// <dwmapi.h> and the SDDL conversions through <sddl.h>, as on Windows.
#pragma once

#include "winsim/wintypes.h"
#include "winsim/kernel32.h"
#include "winsim/user32.h"
#include "winsim/gdi32.h"
#include "winsim/advapi32.h"
#include <winver.h>
