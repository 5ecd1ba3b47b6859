#include "hooks/wildcard_match.h"

// Each '*' is tried with the shortest run first; on a mismatch only the
// last '*' met takes one character more, which is enough for a whole
// match and keeps the work within length of pattern times length of text.
int wildcardMatches(const char *pattern, const char *text) {
  const char *afterStar = 0;
  const char *retry = 0;
  while (*text != '\0') {
    if (*pattern == '*') {
      afterStar = ++pattern;
      retry = text;
    } else if (*pattern != '\0' && (*pattern == '?' || *pattern == *text)) {
      ++pattern;
      ++text;
    } else if (afterStar) {
      pattern = afterStar;
      text = ++retry;
    } else {
      return 0;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}
