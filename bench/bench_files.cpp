#include "bench_files.h"

#include <windows.h>

#include "config/loader.h"
#include "image_chains.h"
#include "private_compile.h"

std::string temporaryFilePath(const char *name) {
  char folder[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return name;
  std::string path(folder);
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path + name;
}

int compileFilePrivately(const std::string &path) {
  releaseConfiguration();
  char fullPath[MAX_PATH];
  return compilePrivately(path.c_str(), fullPath) == 1;
}

int compiledListCount(void) { return (int)loadedLists().size(); }

int compiledMatchCount(void) { return (int)loadedMatches().size(); }
