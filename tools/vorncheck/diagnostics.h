// What vorncheck finds: each finding with its line in the file.
#pragma once

#include <stdio.h>

#include <string>
#include <vector>

enum Severity { FINDING_WARNING = 1, FINDING_ERROR = 2 };

struct Diagnostic {
  Severity severity;
  int line;  // 0: the file as a whole
  std::string message;
};

class Diagnostics {
 public:
  void warn(int line, const std::string &message) { add(FINDING_WARNING, line, message); }
  void error(int line, const std::string &message) { add(FINDING_ERROR, line, message); }

  // Prints the findings in line order as `FILE:LINE: error: ...`.
  void print(FILE *out, const char *file) const;

  int errors() const;
  int warnings() const;
  const std::vector<Diagnostic> &all() const { return items_; }

  // 0 clean, 1 warnings only, 2 errors.
  int exitCode() const;

 private:
  void add(Severity severity, int line, const std::string &message);
  std::vector<Diagnostic> items_;
};

// The edit distance between two names, letter case ignored.
size_t nameDistance(const std::string &a, const std::string &b);

// How far a written name may be from a known one to count as a typing slip
// of it: a slip or two in a short name, a few more in a long one.
size_t slipAllowance(const std::string &written);

// " (did you mean "X"?)" for the closest of `known` to `written` - the same
// name in other letter case, or one a few typing slips away - or "".
std::string suggestion(const std::string &written, const std::vector<std::string> &known);

// printf into a std::string.
std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));
