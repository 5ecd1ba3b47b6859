// The one shared value the window operations read: the foreground window
// as the call-window-return hook saw it at the last WM_ACTIVATE, in
// whichever process that was. It lives in the shared section
// (shared_section.cpp) and is read and written with plain loads and
// stores; any process may change it at any moment.
#pragma once

#include <windows.h>

extern "C" {

extern HWND lastActivatedWindow;

}  // extern "C"
