// The costliest match a configuration can hold, shared by the hook path's
// counting tests and the hook measurements, which name their windows'
// classes differently.
#pragma once

#include <string>

namespace vorntest {

// [Match.M<number>] with 35 Patterns, each of which names `paneClass` as
// the invoked class and `windowClass` as the active one, and only the
// parent class fails: every Pattern is tried to its last comparison.
inline std::string maximalMatch(int number, const char *paneClass, const char *windowClass) {
  static const char PATTERN_KEYS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string text = "[Match.M" + std::to_string(number) + "]\r\nnPattern=35\r\n";
  for (int p = 1; p <= 35; ++p) {
    std::string key(1, PATTERN_KEYS[p]);
    text += key + ".Invoked.Class=" + paneClass + "\r\n";
    text += key + ".Active.Class=" + windowClass + "\r\n";
    text += key + ".Parent.Class=NoSuchClass" + std::to_string(p) + "\r\n";
  }
  return text;
}

}  // namespace vorntest
