#include "bench_files.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/loader.h"
#include "hooks/shared_state.h"

namespace {

// Follows a chain of records linked through the field at `nextField`,
// stopping at a chain longer than any compile can make.
int chainLength(ImageOffset first, uint32_t nextField) {
  const int longestChain = 1000;
  int length = 0;
  for (ImageOffset record = first; record != NO_OFFSET && length < longestChain; ++length) {
    record = imageRecordField(record, nextField);
  }
  return length;
}

}  // namespace

std::string temporaryFilePath(const char *name) {
  char folder[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return name;
  std::string path(folder);
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path + name;
}

int writeTextFile(const std::string &path, const std::string &text) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL);
  CloseHandle(file);
  return ok && written == text.size();
}

int compileFilePrivately(const std::string &path) {
  releaseConfiguration();
  if (path.size() >= sizeof iniPath) return 0;
  HANDLE file = openConfigurationFile(path.c_str());
  if (file == INVALID_HANDLE_VALUE) return 0;
  lstrcpyA(iniPath, path.c_str());
  CompileTarget target = {NULL, 0};
  return compileConfiguration(file, &target);
}

int compiledListCount(void) { return chainLength(imageField(HEADER_FIRST_LIST), LIST_NEXT); }

int compiledMatchCount(void) { return chainLength(imageField(HEADER_FIRST_MATCH), MATCH_NEXT); }
