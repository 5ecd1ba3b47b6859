#include "process_modules.h"

#include <windows.h>
#include <tlhelp32.h>

#include <set>
#include <string>

namespace e2e {

namespace {

std::string lowerCase(const char *name) {
  std::string lower = name;
  for (char &c : lower) {
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

std::set<std::string> loadedModules() {
  std::set<std::string> names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  MODULEENTRY32 module;
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
    names.insert(lowerCase(module.szModule));
  }
  CloseHandle(snapshot);
  return names;
}

std::set<std::string> modulesAdded(const std::set<std::string> &before,
                                   const std::set<std::string> &after) {
  std::set<std::string> added;
  for (const std::string &name : after) {
    if (!before.count(name)) added.insert(name);
  }
  return added;
}

std::string describeModules(const std::set<std::string> &modules) {
  std::string text;
  for (const std::string &name : modules) text += (text.empty() ? "" : " ") + name;
  return text.empty() ? "(none)" : text;
}

}  // namespace e2e
