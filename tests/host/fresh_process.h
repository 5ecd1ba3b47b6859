// Death tests that run in a freshly started copy of the test program, for
// what a process sets up once and keeps (winsim's Windows folder, the
// library's lookups of system DLLs). While a FreshProcessStyle lives,
// EXPECT_EXIT starts the program again instead of forking it.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace vorntest {

class FreshProcessStyle {
 public:
  FreshProcessStyle() : saved_(GTEST_FLAG_GET(death_test_style)) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
  ~FreshProcessStyle() { GTEST_FLAG_SET(death_test_style, saved_); }

 private:
  std::string saved_;
};

}  // namespace vorntest
