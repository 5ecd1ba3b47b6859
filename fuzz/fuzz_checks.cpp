#include "fuzz_checks.h"

#include <stdio.h>
#include <stdlib.h>

void fuzzRequire(bool holds, const char *promise) {
  if (holds) return;
  fprintf(stderr, "fuzz: broken promise: %s\n", promise);
  abort();
}

bool fuzzVerbose(void) {
  static const bool on = getenv("VORN_FUZZ_VERBOSE") != NULL;
  return on;
}
