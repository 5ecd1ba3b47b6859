// What is wrong with a name written in vorn.ini, in words a user can act
// on: each function gives "" for a name vorn knows, else the finding.
// Where a near miss is known, the finding suggests it; where none is, it
// lists the names vorn has, so that nobody is sent to a different button
// or action by a guess.
#pragma once

#include <string>

#include "ini_document.h"

// A HookN value: `unknown event "X" (did you mean "Y"?)`, or `vorn has no
// event "RBUTTONUP": it handles only ...` for mouse messages vorn has no
// list slot for.
std::string eventProblem(const std::string &value);

// An action name: the hint that follows `unknown action "X"`, such as
// ` (did you mean "NoAction"?)` or ` (the actions are: ...)`; "" for a
// known action.
std::string actionHint(const std::string &value);

// An N.Action.IfNextIsMinimized value.
std::string policyProblem(const std::string &value);

// An <P>.NCHitTest value: the hint that follows `unknown hit-test name
// "X"`; "" for a known name.
std::string hitTestHint(const std::string &value);

// What is wrong with the match an N.Match value names, said of the rule:
// `names the match "X", which has no [Match.X] section: the rule never
// holds`, or that a suffix is written in other letter case. "" when the
// match is there (or holds for every window).
std::string matchProblem(const IniDocument &doc, const std::string &value);

// A <P>.Invoked/Active/Parent.Class value with bytes outside ASCII (they
// compare as code-page bytes) or with * or ?, which are no wildcards; ""
// for any other.
std::string classNameProblem(const std::string &value);

// The match name of an N.Match value, taken apart as the loader does.
std::string matchNameOf(const std::string &value);
