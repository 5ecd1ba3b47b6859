// The names vorn knows, for checking a file and suggesting corrections.
#pragma once

#include <string>
#include <vector>

const std::vector<std::string> &knownEventNames();
const std::vector<std::string> &knownActionNames();
const std::vector<std::string> &knownHitTestNames();
const std::vector<std::string> &knownOptionNames();

bool isKnownEventName(const std::string &name);
bool isKnownActionName(const std::string &name);
bool isKnownOptionName(const std::string &name);  // case-insensitive, as keys are found
