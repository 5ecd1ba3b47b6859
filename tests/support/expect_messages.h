// The GoogleTest face of message_sequence.h: a failure names the first
// difference and stands at the line of the test that stated the sequence.
//
//   EXPECT_MESSAGES(log.all(), {{main, WM_ACTIVATE, MSG_WPARAM, WA_ACTIVE, 0},
//                               {main, WM_SETFOCUS, MSG_OPTIONAL, 0, 0}});
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "support/message_sequence.h"

namespace vorntest {

inline void expectMessagesAt(const char *file, int line,
                             const std::vector<RecordedMessage> &recorded,
                             const std::vector<ExpectedMessage> &expected,
                             const WindowNamer &name = windowHandleName) {
  std::string difference = sequenceDifference(expected, recorded, name);
  if (!difference.empty()) ADD_FAILURE_AT(file, line) << difference;
}

}  // namespace vorntest

// EXPECT_MESSAGES(recorded, {expected...}) or, naming the windows,
// EXPECT_MESSAGES(recorded, {expected...}, namer).
#define EXPECT_MESSAGES(...) ::vorntest::expectMessagesAt(__FILE__, __LINE__, __VA_ARGS__)
