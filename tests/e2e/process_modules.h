// The modules loaded into this process, by file name.
#pragma once

#include <set>
#include <string>

namespace e2e {

// The file names (in lower case) of this process's modules, the program's
// own included; empty when the system cannot list them.
std::set<std::string> loadedModules();

// The names in `after` that are not in `before`.
std::set<std::string> modulesAdded(const std::set<std::string> &before,
                                   const std::set<std::string> &after);

// The set as one line, for messages.
std::string describeModules(const std::set<std::string> &modules);

}  // namespace e2e
