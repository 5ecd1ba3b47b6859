// The keys of section [Options]: one table of their names and the values
// they have when the file does not give them. Integer options are on when
// not 0.
#pragma once

#define VORN_OPTIONS_SECTION "Options"

enum Option {
  OPTION_USE_CALLWNDPROCRET_HOOK,  // UseWH_CALLWNDPROC
  OPTION_MBUTTONUP_MOVE_PROTECT,   // MBUTTONUP.MoveProtect
  OPTION_LBUTTONUP_MOVE_PROTECT,   // LBUTTONUP.MoveProtect
  OPTION_USE_XMOUSE,               // UseXMOUSE
  OPTION_SIMULATE_MOUSEACTIVATE,   // ThroughSimulateWM_MOUSEACTIVATE
  OPTION_MASK_XMOUSE_ON_MOVE,      // MaskXMOUSEOnMOUSEMOVE
  OPTION_COUNT
};

// The key of `option` (NULL outside the table).
const char *optionName(int option);

// The value of `option` in iniPath, or its default when the key is missing.
int readOption(int option);
