#include "configuration_files.h"

#include <windows.h>

#include <string.h>

#include <string>

namespace e2e {

namespace {

std::string directoryOf(const char *path) {
  const char *lastSeparator = strrchr(path, '\\');
  return lastSeparator ? std::string(path, lastSeparator) : std::string(".");
}

}  // namespace

std::string programDirectory() {
  char program[MAX_PATH] = "";
  GetModuleFileNameA(NULL, program, sizeof program);
  return directoryOf(program);
}

std::string defaultStageDirectory() { return programDirectory() + "\\stage"; }

std::string stagedConfigurationPath(const std::string &stageDirectory) {
  return stageDirectory + "\\vorn.ini";
}

std::string windowsConfigurationPath() {
  char directory[MAX_PATH] = "";
  GetWindowsDirectoryA(directory, sizeof directory);
  return std::string(directory) + "\\vorn.ini";
}

bool writeTextFile(const std::string &path, const char *text) {
  return writeFileBytes(path, std::string(text, strlen(text)));
}

bool fileExists(const std::string &path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool removeFile(const std::string &path) {
  DeleteFileA(path.c_str());
  return !fileExists(path);
}

}  // namespace e2e
