// A shared assertion helper that a test calls several times names the line
// of each call in its failures. The helper takes the caller's place as two
// last parameters whose defaults the compiler fills in at every call:
//
//   void expectThing(int value, CALLER_PARAMETERS) {
//     TRACE_CALLER();
//     EXPECT_EQ(...);
//   }
#pragma once

#include <gtest/gtest.h>

#define CALLER_PARAMETERS \
  const char *callerFile = __builtin_FILE(), int callerLine = __builtin_LINE()

#define TRACE_CALLER() \
  ::testing::ScopedTrace callerTrace(callerFile, callerLine, "called from here")
