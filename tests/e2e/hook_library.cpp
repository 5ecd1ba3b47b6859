#include "hook_library.h"

#include <windows.h>

#include <string>

#include "vorn_names.h"

namespace e2e {

namespace {

typedef int(__cdecl *ControlExport)(void);

const char LIBRARY_NAME[] = VORN_LIBRARY_FILE;
// More references than the test's own and the system's one mean something
// else holds the library; give up rather than loop.
const int MOST_REFERENCES = 8;

HMODULE loadedByTest = NULL;
ControlExport isHookingExport = NULL;

}  // namespace

bool loadHookLibrary(const std::string &stageDirectory) {
  if (loadedByTest) return isHookingExport != NULL;
  std::string path = stageDirectory + "\\" + LIBRARY_NAME;
  loadedByTest = LoadLibraryA(path.c_str());
  if (!loadedByTest) return false;
  isHookingExport = (ControlExport)(void *)GetProcAddress(loadedByTest, "_IsHooking");
  return isHookingExport != NULL;
}

int hookLibraryIsHooking() { return isHookingExport ? isHookingExport() : -1; }

bool hookLibraryPresent() { return GetModuleHandleA(LIBRARY_NAME) != NULL; }

void unloadHookLibrary() {
  loadedByTest = NULL;
  isHookingExport = NULL;
  for (int i = 0; i < MOST_REFERENCES; ++i) {
    HMODULE module = GetModuleHandleA(LIBRARY_NAME);
    if (!module) return;
    FreeLibrary(module);
  }
}

}  // namespace e2e
