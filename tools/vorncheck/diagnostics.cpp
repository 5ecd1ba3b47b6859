#include "diagnostics.h"

#include <stdarg.h>

#include <algorithm>

#include "console_text.h"
#include "ini_document.h"

namespace {

// Edit distance, for "did you mean".
size_t editDistance(const std::string &a, const std::string &b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min(std::min(row[j - 1] + 1, above + 1), substitution);
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string lowered(std::string text) {
  for (char &c : text) {
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

size_t nameDistance(const std::string &a, const std::string &b) {
  return editDistance(lowered(a), lowered(b));
}

size_t slipAllowance(const std::string &written) { return std::max<size_t>(2, written.size() / 4); }

std::string format(const char *pattern, ...) {
  char buffer[1024];
  va_list arguments;
  va_start(arguments, pattern);
  vsnprintf(buffer, sizeof buffer, pattern, arguments);
  va_end(arguments);
  return buffer;
}

std::string suggestion(const std::string &written, const std::vector<std::string> &known) {
  for (const std::string &name : known) {
    if (sameNameIgnoringCase(name, written)) {
      return format(" (did you mean \"%s\"? names are case-sensitive)", name.c_str());
    }
  }
  const std::string *best = NULL;
  size_t bestDistance = 0;
  for (const std::string &name : known) {
    size_t d = nameDistance(written, name);
    if (!best || d < bestDistance) {
      best = &name;
      bestDistance = d;
    }
  }
  if (best && bestDistance <= slipAllowance(written))
    return format(" (did you mean \"%s\"?)", best->c_str());
  return std::string();
}

void Diagnostics::add(Severity severity, int line, const std::string &message) {
  items_.push_back(Diagnostic{severity, line, message});
}

int Diagnostics::errors() const {
  return (int)std::count_if(items_.begin(), items_.end(),
                            [](const Diagnostic &d) { return d.severity == FINDING_ERROR; });
}

int Diagnostics::warnings() const { return (int)items_.size() - errors(); }

int Diagnostics::exitCode() const { return errors() ? 2 : warnings() ? 1 : 0; }

void Diagnostics::print(FILE *out, const char *file) const {
  std::vector<Diagnostic> sorted = items_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Diagnostic &a, const Diagnostic &b) { return a.line < b.line; });
  for (const Diagnostic &d : sorted) {
    const char *kind = d.severity == FINDING_ERROR ? "error" : "warning";
    if (d.line > 0) {
      consolePrintf(out, "%s:%d: %s: %s\n", file, d.line, kind, d.message.c_str());
    } else {
      consolePrintf(out, "%s: %s: %s\n", file, kind, d.message.c_str());
    }
  }
}
