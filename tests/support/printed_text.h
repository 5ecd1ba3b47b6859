// What a function that prints to a FILE wrote, read back as text: the
// tools print to a FILE, and tests read what they said.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <functional>
#include <string>

#include "support/win32_files.h"

namespace vorntest {

// Runs `print` on a file of its own in the temporary folder, named `name`,
// and returns what it wrote ("" when the file cannot be made). The file is
// binary, so that a line ends in "\n" on Windows too.
inline std::string printedText(const char *name, const std::function<void(FILE *)> &print) {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  std::string file = std::string(path) + name;
  FILE *out = fopen(file.c_str(), "w+b");
  if (!out) return std::string();
  print(out);
  fclose(out);
  std::string text = readFileBytes(file);
  DeleteFileA(file.c_str());
  return text;
}

}  // namespace vorntest
