// The host build's marks: callgrind's client requests, which cost a few
// instructions and do nothing when the program runs natively.
#include "instruction_marks.h"

#include <valgrind/callgrind.h>

void startCountingInstructions(void) { CALLGRIND_ZERO_STATS; }

void stopCountingInstructions(const char *what) { CALLGRIND_DUMP_STATS_AT(what); }
