// Recording the messages windows receive, and comparing what was recorded
// with an expected sequence: a table of {window, message, flags, wParam,
// lParam}, where the flags say which parameters count and which messages
// may be missing. The comparison names the first difference. Free of
// GoogleTest: expect_messages.h is its GoogleTest face.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "support/message_names.h"

namespace vorntest {

// A message as a window procedure received it.
struct RecordedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD threadId;  // the thread that handled it
  POINT point;     // the pointer's screen position, where the recorder notes it
};

// What an expected message must agree in besides its window and message.
enum ExpectedMessageFlags {
  MSG_WPARAM = 1,    // wParam is compared
  MSG_LPARAM = 2,    // lParam is compared
  MSG_OPTIONAL = 4,  // the message may be missing
};

struct ExpectedMessage {
  HWND window;
  UINT message;
  unsigned flags;
  WPARAM wParam;
  LPARAM lParam;
};

// The messages some windows received, in order.
class MessageLog {
 public:
  void record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, POINT point = POINT{0, 0}) {
    entries.push_back({window, message, wParam, lParam, GetCurrentThreadId(), point});
  }

  void clear() { entries.clear(); }
  // Room for `count` messages, so that recording them allocates nothing.
  void reserve(size_t count) { entries.reserve(count); }

  const std::vector<RecordedMessage> &all() const { return entries; }
  std::vector<RecordedMessage>::const_iterator begin() const { return entries.begin(); }
  std::vector<RecordedMessage>::const_iterator end() const { return entries.end(); }
  bool empty() const { return entries.empty(); }
  size_t size() const { return entries.size(); }
  const RecordedMessage &operator[](size_t index) const { return entries[index]; }

  // The messages `message` that `window` received, in order.
  std::vector<RecordedMessage> to(HWND window, UINT message) const {
    std::vector<RecordedMessage> found;
    for (const RecordedMessage &entry : entries) {
      if (entry.window == window && entry.message == message) found.push_back(entry);
    }
    return found;
  }

  int count(HWND window, UINT message) const { return (int)to(window, message).size(); }

  // The recorded messages that pass `keep`, in order.
  std::vector<RecordedMessage> only(
      const std::function<bool(const RecordedMessage &)> &keep) const {
    std::vector<RecordedMessage> kept;
    for (const RecordedMessage &entry : entries) {
      if (keep(entry)) kept.push_back(entry);
    }
    return kept;
  }

 private:
  std::vector<RecordedMessage> entries;
};

// How a failure message names a window; by default its handle.
typedef std::function<std::string(HWND)> WindowNamer;

inline std::string windowHandleName(HWND window) {
  char text[32];
  snprintf(text, sizeof text, "window %p", (void *)window);
  return text;
}

inline std::string describeExpected(const ExpectedMessage &e, const WindowNamer &name) {
  std::string text = messageName(e.message) + " to " + name(e.window);
  char number[48];
  if (e.flags & MSG_WPARAM) {
    snprintf(number, sizeof number, " wParam 0x%llX", (unsigned long long)e.wParam);
    text += number;
  }
  if (e.flags & MSG_LPARAM) {
    snprintf(number, sizeof number, " lParam 0x%llX", (unsigned long long)e.lParam);
    text += number;
  }
  return text;
}

inline std::string describeRecorded(const RecordedMessage &r, const WindowNamer &name) {
  char numbers[96];
  snprintf(numbers, sizeof numbers, " wParam 0x%llX lParam 0x%llX", (unsigned long long)r.wParam,
           (unsigned long long)r.lParam);
  return messageName(r.message) + " to " + name(r.window) + numbers;
}

inline bool agrees(const ExpectedMessage &e, const RecordedMessage &r) {
  if (e.window != r.window || e.message != r.message) return false;
  if ((e.flags & MSG_WPARAM) && e.wParam != r.wParam) return false;
  if ((e.flags & MSG_LPARAM) && e.lParam != r.lParam) return false;
  return true;
}

// "" when `recorded` is the expected sequence (optional messages may be
// missing), else where the two first part: "message 3: expected ..., got
// ...". Every recorded message must be expected.
inline std::string sequenceDifference(const std::vector<ExpectedMessage> &expected,
                                      const std::vector<RecordedMessage> &recorded,
                                      const WindowNamer &name = windowHandleName) {
  size_t e = 0, r = 0;
  while (e < expected.size() && r < recorded.size()) {
    if (agrees(expected[e], recorded[r])) {
      ++e;
      ++r;
    } else if (expected[e].flags & MSG_OPTIONAL) {
      ++e;
    } else {
      return "message " + std::to_string(r + 1) + ": expected " +
             describeExpected(expected[e], name) + ", got " + describeRecorded(recorded[r], name);
    }
  }
  while (e < expected.size() && (expected[e].flags & MSG_OPTIONAL)) ++e;
  if (e < expected.size()) {
    return "message " + std::to_string(r + 1) + ": expected " +
           describeExpected(expected[e], name) + ", got nothing more";
  }
  if (r < recorded.size()) {
    return "message " + std::to_string(r + 1) + ": expected nothing more, got " +
           describeRecorded(recorded[r], name);
  }
  return std::string();
}

}  // namespace vorntest
