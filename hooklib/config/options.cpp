#include "config/options.h"

#include "config/profile_reader.h"

namespace {

struct OptionRow {
  const char *name;
  int fallback;
};

// In the order of enum Option.
const OptionRow OPTION_TABLE[OPTION_COUNT] = {
    {"UseWH_CALLWNDPROC", 1},
    {"MBUTTONUP.MoveProtect", 1},
    {"LBUTTONUP.MoveProtect", 1},
    {"UseXMOUSE", 0},
    {"ThroughSimulateWM_MOUSEACTIVATE", 0},
    {"MaskXMOUSEOnMOUSEMOVE", 0},
};

int isOption(int option) { return option >= 0 && option < OPTION_COUNT; }

}  // namespace

const char *optionName(int option) { return isOption(option) ? OPTION_TABLE[option].name : NULL; }

int readOption(int option) {
  if (!isOption(option)) return 0;
  return readProfileInt(VORN_OPTIONS_SECTION, OPTION_TABLE[option].name,
                        OPTION_TABLE[option].fallback);
}
