// Starting vornd: signal a running instance, or become the first one.
#pragma once

#include <windows.h>

// 1 when the command line is exactly one argument "--stop".
int isStopCommand(int argc, char **argv);

// Signals the running instance, if any: WM_CLOSE for --stop, the reload
// command otherwise, each only to a control window of this same program
// file. 1 when this start is done (an instance runs, or --stop was asked
// for), 0 when it is the first instance: it then holds the instance lock
// (instance_lock.h).
int signalRunningInstance(int argc, char **argv);

// The whole program: hand the command to the 64-bit companion where there
// is one (companion.h), then signal, or register, create and run the
// message loop. Returns the exit code, whatever the companion did.
int vorndMain(HINSTANCE instance, int argc, char **argv);
