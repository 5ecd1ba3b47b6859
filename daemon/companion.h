// The 64-bit companion: a 32-bit hook library reaches only 32-bit
// programs, so on 64-bit Windows the 32-bit vornd.exe hands every command
// it is given to vornd64.exe beside it, which covers the 64-bit programs
// with its own library, control window and section. The user keeps
// running one program.
#pragma once

#include <windows.h>

// How long a start that only signals a running companion is waited for:
// long enough for a program start on a loaded system, short enough that a
// companion that hangs does not hold vornd with it.
enum { COMPANION_WAIT_MS = 5000 };

// The command line the companion at `companionPath` is started with: the
// path, quoted, and then this program's command line after its program
// name (argv[0]), byte for byte. 0 when it does not fit `size`.
int companionCommandLine(const char *commandLine, const char *companionPath, char *buffer,
                         int size);

// Starts the companion with this program's arguments when this is a
// 32-bit vornd on 64-bit Windows and vornd64.exe lies in its folder;
// otherwise does nothing. A start that only signals the running companion
// (its control window exists) is waited for, at most COMPANION_WAIT_MS,
// so that both daemons have been told when vornd ends; one that becomes
// the companion's first instance runs on by itself. 1 when it was started.
int startCompanion(void);

// The running companion's control window, when this is a 32-bit vornd on
// 64-bit Windows and one of vornd64.exe in its folder runs; else NULL.
HWND findCompanionWindow(void);
