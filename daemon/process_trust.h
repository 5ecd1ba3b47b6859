// Whom a window belongs to. vornd signals, and hands the foreground to,
// windows it finds by class and title; any program can make such a window,
// so each is judged by the process behind it before it is used.
#pragma once

#include <windows.h>

// The program file `process` runs, into `path` (MAX_PATH bytes). 0 when it
// cannot be told: the system lacks QueryFullProcessImageNameA (before
// Windows Vista) or the process cannot be queried.
int processImagePath(HANDLE process, char *path, DWORD size);

// The user's SID from `process`'s token, into `sid`
// (SECURITY_MAX_SID_SIZE bytes); 0 when the token cannot be read.
int processUserSid(HANDLE process, BYTE *sid);

// 1 when `window` belongs to a process that runs the program file `image`
// (compared as Windows compares paths, without regard to case). Where the
// system cannot tell any process's program (before Windows Vista), every
// window passes, as it did before these checks.
int windowRunsProgram(HWND window, const char *image);

// The first top-level window of class `className` and title `title` whose
// process runs `image`; windows of that name made by other programs are
// passed over. NULL when there is none.
HWND findProgramWindow(const char *className, const char *title, const char *image);

// 1 when the daemon may bring `window` to the foreground: its process runs
// as the daemon's own user, at an integrity level not below Medium (not
// below the daemon's own, when that is lower). A sandboxed (Low-integrity)
// program or another user's cannot have the foreground handed to it.
// Where the system has no integrity levels (before Windows Vista) the user
// alone decides; where the token cannot be read at all, 0.
int mayTakeForeground(HWND window);
