// Where vorn.ini can be, and writing or removing it there. The daemon
// looks in the Windows directory first, then beside vornd.exe; each
// scenario writes its own file beside the staged vornd.exe and makes sure
// the Windows directory holds none unless it tests that place.
#pragma once

#include <string>

#include "support/win32_files.h"

namespace e2e {

// The folder of this program's .exe, where the build puts the programs it
// starts (vorn_soak_host.exe) and the stage.
std::string programDirectory();

// The staging folder beside this program: vornd.exe and vorn.dll, copied
// there by the build.
std::string defaultStageDirectory();

std::string stagedConfigurationPath(const std::string &stageDirectory);
std::string windowsConfigurationPath();

bool writeTextFile(const std::string &path, const char *text);
// Writes `bytes` as they are, NUL bytes included.
using vorntest::writeFileBytes;
bool fileExists(const std::string &path);
// Removes the file if it is there; true when it is gone afterwards.
bool removeFile(const std::string &path);

}  // namespace e2e
