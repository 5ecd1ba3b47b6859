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

std::string defaultStageDirectory() {
  char program[MAX_PATH] = "";
  GetModuleFileNameA(NULL, program, sizeof program);
  return directoryOf(program) + "\\stage";
}

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

bool writeFileBytes(const std::string &path, const std::string &bytes) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD length = (DWORD)bytes.size();
  DWORD written = 0;
  BOOL wrote = WriteFile(file, bytes.data(), length, &written, NULL);
  CloseHandle(file);
  return wrote && written == length;
}

bool fileExists(const std::string &path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool removeFile(const std::string &path) {
  DeleteFileA(path.c_str());
  return !fileExists(path);
}

}  // namespace e2e
