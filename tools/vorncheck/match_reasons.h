// Why a match does not hold for a click, in words a user can act on: the
// match has no section, no Patterns, or each Pattern has a condition the
// click does not meet.
#pragma once

#include <string>
#include <vector>

#include "config/image_layout.h"
#include "hooks/click_facts.h"
#include "ini_document.h"

// One reason for the whole match ("there is no [Match.X] section ..."), or
// one per Pattern ("Pattern 1 wants hit-test CAPTION; the click is on
// CLIENT"). Empty for the empty match name, which holds for every click.
std::vector<std::string> whyMatchFails(ImageOffset match, const IniDocument &doc,
                                       ClickFacts *facts);

// A set of modifier keys as a Keys value names it ("Ctrl+Shift", "None").
std::string keysText(int keys);

// "CAPTION", or "code 42" for a code vorn.ini has no name for.
std::string hitTestText(int code);
