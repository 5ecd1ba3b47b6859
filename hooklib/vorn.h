// vorn: the hook library's exports.
//
// The daemon imports the three control functions by their exported names,
// which carry a leading underscore (`_MySetHook`, ...); inside the library
// and in tests they are called by their plain names. The hook procedures are
// exported undecorated and called by the system.
#pragma once

#include <windows.h>

extern "C" {

// Control exports (cdecl). Each returns 1 while any hook is installed.
int MySetHook(void);
int MyEndHook(void);
int IsHooking(void);
// The vorn.ini the last load read, or, when it found none, the last place
// it looked; "" before the first load. The daemon watches its folder.
const char *MyIniPath(void);

// The names under which the daemon imports them (through the import
// library's thunks on Windows; `in_process_exports.cpp` where the library
// is linked in).
int _MySetHook(void);
int _MyEndHook(void);
int _IsHooking(void);
const char *_MyIniPath(void);

// Hook procedures (the system's hook convention).
LRESULT CALLBACK mouseHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK msgHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK cwpretHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // extern "C"
