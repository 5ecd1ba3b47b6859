// The stage of the scenario with both pairs: the 32-bit pair, which this
// build makes and copies there, and the 64-bit pair and a 64-bit window
// host, which only the win64 build of the same sources makes. The build
// hands their paths over in the environment (tests/e2e/CMakeLists.txt,
// cache variable VORN_WIN64_BUILD_DIR); the scenario copies them in before
// it starts.
#pragma once

#include <string>

namespace e2e {

// The folder of the pair's stage beside this program.
std::string pairStageDirectory();

// Where the 64-bit window host is put: beside the stage, not in it, so
// that the stage holds what a user installs and nothing else.
std::string pairHostPath();

// Copies vornd64.exe and vorn64.dll into the stage and the 64-bit window
// host beside it. "" when all three are in place; else which was missing
// where, and how to make it.
std::string stageSixtyFourBitFiles();

}  // namespace e2e
