// Mouse messages the system ran the mouse hook for in the daemon instead of
// in the program that retrieves them.
//
// On 64-bit Windows both pairs' mouse hooks share one chain, newest first.
// Where the system cannot load a hook's library into the program that
// receives a click (the other bitness, a Store app), it runs that hook on
// the thread that installed it, in a daemon, and the chain goes on from
// there; so for one bitness the program's own library never sees its mouse
// hook called. That library's get-message hook still runs inside the
// program, on the thread that retrieves the message: the daemon notes each
// call it passes on, and the program's get-message hook decides the click
// it finds noted, in its own process, where it may activate windows. Only
// input the system marshalled is noted: a mouse message a program posts
// to itself is never taken for a click.
//
// The notes lie in the shared section, one slot per thread (by its id):
// each is written by the daemon and read by the program whose thread it
// names; any value in them is harmless (a wrong one at most decides, or
// leaves undecided, one message of the thread it names).
#pragma once

#include <windows.h>

// In the daemon: notes that the mouse hook was called here for `message`
// to `window`, which thread `threadId` will retrieve.
void noteMarshalledMessage(DWORD threadId, UINT message, HWND window);

// In the program: 1 when the calling thread's note names `message` to
// `window` (the note is then used up), else 0.
int takeMarshalledMessage(UINT message, HWND window);
