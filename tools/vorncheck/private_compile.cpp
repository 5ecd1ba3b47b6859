#include "private_compile.h"

#include <windows.h>

#include "config/ini_location.h"
#include "config/loader.h"
#include "config/loader_state.h"

int compilePrivately(const char *path, char *fullPath) {
  // The profile functions take a relative name from the Windows directory,
  // so the path is made absolute before they see it.
  DWORD length = GetFullPathNameA(path, MAX_PATH, fullPath, NULL);
  if (length == 0 || length >= MAX_PATH || length >= sizeof iniPath) return 0;
  HANDLE file = openConfigurationFile(fullPath);
  if (file == INVALID_HANDLE_VALUE) return 0;
  lstrcpyA(iniPath, fullPath);
  CompileTarget target = {NULL, 0};
  return compileConfiguration(file, &target) ? 1 : -1;
}

int saveImage(const char *path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            NULL);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD written = 0;
  BOOL ok = WriteFile(file, imageHeader, imageSize, &written, NULL);
  CloseHandle(file);
  return ok && written == imageSize;
}
