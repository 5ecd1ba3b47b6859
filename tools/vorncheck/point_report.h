// vorncheck --point and --at: what a click at a screen point would do, found
// with the hooks' own code on the live windows there: the window under the
// pointer, its click target and root parent, the area, whether it counts as
// in front, and for each event of that area the list that decides it, the
// winning rule and what becomes of the click.
#pragma once

#include <stdio.h>

#include <windows.h>

#include <string>

#include "event_decision.h"

// Prints the report for `point` against this process's image; `file` is
// the configuration file as the user named it (NULL: none named), for the
// command the report suggests. Returns 0.
int explainPoint(POINT point, const char *file, FILE *out);

// What the rule lists decide for a click, in words: "List1, rule 2 (match
// "Caption"): "Minimize" runs; the click is swallowed".
std::string decisionWords(const EventDecision &decision);
