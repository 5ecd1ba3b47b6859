// --point: the pointer's position, read after a count-down that lets the
// user move it over the window to check.
#pragma once

#include <stdio.h>

#include <windows.h>

// Counts `seconds` down on `console`, one number a second, then reads the
// pointer's position into `point`. 0 when the system cannot tell it.
int pointerAfterCountDown(int seconds, FILE *console, POINT *point);
