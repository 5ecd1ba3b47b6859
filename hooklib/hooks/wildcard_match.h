// Matching a text against a pattern in which '*' stands for any run of
// characters (none included) and '?' for any one character. Both are
// compared byte for byte: callers bring them to one letter case first.
#pragma once

// 1 when `text` matches `pattern` as a whole, else 0.
int wildcardMatches(const char *pattern, const char *text);
