#include "config/options.h"

#include "config/profile_reader.h"
#include "system/name_lists.h"

namespace {

// In the order of enum Option: the key names, and the value each option
// has when its key is missing.
const char OPTION_NAMES[] =
    "UseWH_CALLWNDPROC\0MBUTTONUP.MoveProtect\0LBUTTONUP.MoveProtect\0UseXMOUSE\0"
    "ThroughSimulateWM_MOUSEACTIVATE\0MaskXMOUSEOnMOUSEMOVE\0";
const unsigned char OPTION_FALLBACKS[OPTION_COUNT] = {1, 1, 1, 0, 0, 0};

int isOption(int option) { return option >= 0 && option < OPTION_COUNT; }

}  // namespace

const char *optionName(int option) {
  return isOption(option) ? nameListAt(OPTION_NAMES, option) : NULL;
}

int readOption(int option) {
  if (!isOption(option)) return 0;
  return readProfileInt(VORN_OPTIONS_SECTION, nameListAt(OPTION_NAMES, option),
                        OPTION_FALLBACKS[option]);
}
