#include "fuzz_checks.h"

#include <stdio.h>
#include <stdlib.h>

void fuzzRequire(bool holds, const char *promise) {
  if (holds) return;
  fprintf(stderr, "fuzz: broken promise: %s\n", promise);
  abort();
}
