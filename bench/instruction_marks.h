// Marks around the stretches of a run whose instructions are to be
// counted. Under `valgrind --tool=callgrind` each stretch becomes one dump
// of its own, named after what was measured; elsewhere the marks do
// nothing.
#pragma once

// Starts a stretch: the counts so far are thrown away.
void startCountingInstructions(void);

// Ends the stretch, writing its counts as a dump named `what`.
void stopCountingInstructions(const char *what);
