#include "system/delay_loaded.h"

#include <windows.h>

#include "system/name_lists.h"

namespace {

using delayLoaded::Function;
using delayLoaded::FUNCTION_COUNT;
using delayLoaded::Library;
using delayLoaded::LIBRARY_COUNT;

#define VORN_LIBRARY_NAME(id, file) file "\0"
const char LIBRARY_NAMES[] = VORN_LOOKED_UP_LIBRARIES(VORN_LIBRARY_NAME);

#define VORN_FUNCTION_NAME(id, name, library, result, missing, parameters, arguments) #name "\0"
const char FUNCTION_NAMES[] = VORN_LOOKED_UP_FUNCTIONS(VORN_FUNCTION_NAME);

#define VORN_FUNCTION_LIBRARY(id, name, library, result, missing, parameters, arguments) \
  delayLoaded::library,
const unsigned char FUNCTION_LIBRARIES[FUNCTION_COUNT] = {
    VORN_LOOKED_UP_FUNCTIONS(VORN_FUNCTION_LIBRARY)};

// Per process, each one word: null until looked up, then what was found or
// MISSING for a lookup that found nothing. Threads that look up at the same
// moment store the same value. (The mark is converted where it is used: a
// constant initialised by a cast would need start-up code to set it.)
const INT_PTR MISSING = -1;
HMODULE libraries[LIBRARY_COUNT];
FARPROC functions[FUNCTION_COUNT];

// "<system directory>\<name>"; 0 when it does not fit.
int systemLibraryPath(const char *name, char *path) {
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + (UINT)lstrlenA(name) >= MAX_PATH) return 0;
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  return 1;
}

HMODULE loadLibrary(Library library) {
  char path[MAX_PATH];
  HMODULE module = NULL;
  if (systemLibraryPath(nameListAt(LIBRARY_NAMES, library), path)) module = LoadLibraryA(path);
  return module ? module : (HMODULE)MISSING;
}

HMODULE library(Library which) {
  if (libraries[which] == NULL) libraries[which] = loadLibrary(which);
  return libraries[which] == (HMODULE)MISSING ? NULL : libraries[which];
}

}  // namespace

FARPROC delayLoaded::lookUp(Function which) {
  if (functions[which] == NULL) {
    HMODULE module = library((Library)FUNCTION_LIBRARIES[which]);
    FARPROC found = module ? GetProcAddress(module, nameListAt(FUNCTION_NAMES, which)) : NULL;
    functions[which] = found ? found : (FARPROC)MISSING;
  }
  return functions[which] == (FARPROC)MISSING ? NULL : functions[which];
}
