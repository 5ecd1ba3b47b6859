// Starting vornd: signal a running instance, or become the first one.
#pragma once

#include <windows.h>

// What a command line asks for: exactly one argument "--stop", "--pause"
// or "--resume" (exact, case-sensitive); every other command line starts
// vornd, or makes the running one reload.
enum DaemonCommand { COMMAND_START = 0, COMMAND_STOP, COMMAND_PAUSE, COMMAND_RESUME };
DaemonCommand daemonCommand(int argc, char **argv);

// 1 when the command line is exactly one argument "--stop".
int isStopCommand(int argc, char **argv);

// Signals the running instance, if any, and only a control window of this
// same program file: WM_CLOSE for --stop, the pause or resume command, or
// the reload command for a start. --stop and --pause never start an
// instance; --resume with none running starts one, as a start does. 1 when
// this start is done (an instance runs, or --stop or --pause was asked
// for), 0 when it is the first instance: it then holds the instance lock
// (instance_lock.h).
int signalRunningInstance(int argc, char **argv);

// The first instance's message loop: messages, and beside them the
// changes of vorn.ini's folder (configuration_watch.h). Returns the exit
// code WM_QUIT carries.
int runMessageLoop(HWND window);

// The whole program: hand the command to the 64-bit companion where there
// is one (companion.h), then signal, or register, create and run the
// message loop. Returns the exit code, whatever the companion did.
int vorndMain(HINSTANCE instance, int argc, char **argv);
