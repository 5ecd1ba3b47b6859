// Host tests: a file of the Linux file system read directly, past winsim's
// model of paths (a folder named outside the code page, say, which the A
// functions cannot name).
#pragma once

#include <stdio.h>

#include <string>

namespace vorntest {

// Its bytes; "" when it cannot be read.
inline std::string readHostFile(const std::string &path) {
  std::string text;
  if (FILE *file = fopen(path.c_str(), "rb")) {
    char buffer[512];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    fclose(file);
  }
  return text;
}

}  // namespace vorntest
