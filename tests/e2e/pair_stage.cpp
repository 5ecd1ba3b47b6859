#include "pair_stage.h"

#include <windows.h>

#include <stdlib.h>

#include <string>

#include "configuration_files.h"
#include "vorn_names.h"

namespace e2e {

namespace {

const char HOST_FILE[] = "vorn_soak_host.exe";

struct SixtyFourBitFile {
  const char *variable;  // the environment variable with its path in the win64 build
  const char *name;
};

const SixtyFourBitFile FILES[] = {
    {"VORN_PAIR_WIN64_DAEMON", VORN_COMPANION_FILE},
    {"VORN_PAIR_WIN64_LIBRARY", VORN_OTHER_LIBRARY_FILE},
    {"VORN_PAIR_WIN64_HOST", HOST_FILE},
};

std::string copyInto(const SixtyFourBitFile &file, const std::string &target) {
  const char *source = getenv(file.variable);
  if (!source || !source[0]) {
    return std::string(file.variable) + " is not set: run the test through CTest; ";
  }
  if (!fileExists(source)) {
    return std::string("no ") + file.name + " at " + source +
           " (build preset win64 first, or point the win32 build's VORN_WIN64_BUILD_DIR at a "
           "win64 build); ";
  }
  if (!CopyFileA(source, target.c_str(), FALSE)) {
    return std::string("cannot copy ") + source + " to " + target + "; ";
  }
  return "";
}

}  // namespace

std::string pairStageDirectory() { return programDirectory() + "\\pair\\stage"; }

std::string pairHostPath() { return programDirectory() + "\\pair\\" + HOST_FILE; }

std::string stageSixtyFourBitFiles() {
  std::string problems;
  for (const SixtyFourBitFile &file : FILES) {
    bool isHost = file.name == HOST_FILE;
    problems += copyInto(file, isHost ? pairHostPath() : pairStageDirectory() + "\\" + file.name);
  }
  return problems;
}

}  // namespace e2e
