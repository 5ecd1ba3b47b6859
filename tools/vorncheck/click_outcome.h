// What becomes of a click once a rule has won it, in words, read from the
// action table's columns: what the hook answers for the click its list is
// configured for, and for a middle press that its release's list decides.
#pragma once

#include <string>

struct Outcome {
  // The HookVerdict, or VERDICT_WINDOW_DECIDES when the window's own
  // answer to WM_MOUSEACTIVATE is the verdict.
  int verdict;
  std::string words;  // "nothing runs; the click goes on to the window", ...
};

// The click of a list whose winner's action is `action`.
Outcome clickOutcome(const char *action);

// A middle press without a list of its own, when its release's list has
// chosen `action`: no action runs on the press.
Outcome pressOutcome(const char *action);

// "4 (MA_NOACTIVATEANDEAT)", or "the window's answer to WM_MOUSEACTIVATE".
std::string verdictName(int verdict);
