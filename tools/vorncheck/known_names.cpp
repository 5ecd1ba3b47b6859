#include "known_names.h"

#include <algorithm>

#include "config/name_tables.h"
#include "config/options.h"
#include "ini_document.h"
#include "windows/actions.h"

namespace {

bool contains(const std::vector<std::string> &names, const std::string &name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

const std::vector<std::string> &knownEventNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (int slot = 0; slot < eventSlotCount(); ++slot) all.push_back(eventSlotName(slot));
    return all;
  }();
  return names;
}

const std::vector<std::string> &knownActionNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (int row = 0; row < actionCount(); ++row) all.push_back(actionNameAt(row));
    return all;
  }();
  return names;
}

const std::vector<std::string> &knownHitTestNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (int code = 0; hitTestName(code); ++code) all.push_back(hitTestName(code));
    return all;
  }();
  return names;
}

const std::vector<std::string> &knownOptionNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (int option = 0; option < OPTION_COUNT; ++option) all.push_back(optionName(option));
    return all;
  }();
  return names;
}

bool isKnownEventName(const std::string &name) { return eventSlotIndex(name.c_str()) >= 0; }

bool isKnownActionName(const std::string &name) { return contains(knownActionNames(), name); }

bool isKnownOptionName(const std::string &name) {
  for (const std::string &known : knownOptionNames()) {
    if (sameNameIgnoringCase(known, name)) return true;
  }
  return false;
}
