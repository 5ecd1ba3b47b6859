// Promises the fuzzers hold the code to. A broken one ends the run the way
// a crash does, so that libFuzzer keeps the input that showed it.
#pragma once

// Aborts with `promise` on stderr unless `holds`.
void fuzzRequire(bool holds, const char *promise);

// Whether VORN_FUZZ_VERBOSE is set: each input's run then says what it did.
bool fuzzVerbose(void);
