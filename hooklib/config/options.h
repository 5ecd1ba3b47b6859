// The keys of section [Options], one row each: its name in the code, its
// key, the value it has when the file does not give it, where its value
// lives (the loader's variable, loader_state.h) and the trailer word that
// carries that value to the hooks in every process (image_layout.h;
// DAEMON_ONLY for a value only the daemon reads). UseXMOUSE and
// ThroughSimulateWM_MOUSEACTIVATE together make xmouseMode (xmouse_mode.h),
// which travels once. Integer options are on when not 0.
//
// A new option is a row here, and its variable in loader_state.h if it has
// a value of its own; the loader reads it where it takes effect.
#pragma once

#define VORN_OPTIONS_SECTION "Options"

// clang-format off
#define VORN_OPTIONS(X)                                                                         \
  X(OPTION_USE_CALLWNDPROCRET_HOOK, "UseWH_CALLWNDPROC", 1, useCallWndProcRetHook, DAEMON_ONLY) \
  X(OPTION_MBUTTONUP_MOVE_PROTECT, "MBUTTONUP.MoveProtect", 1, mbuttonUpMoveProtect,            \
    TRAILER_MBUTTONUP_MOVE_PROTECT)                                                             \
  X(OPTION_LBUTTONUP_MOVE_PROTECT, "LBUTTONUP.MoveProtect", 1, lbuttonUpMoveProtect,            \
    TRAILER_LBUTTONUP_MOVE_PROTECT)                                                             \
  X(OPTION_USE_XMOUSE, "UseXMOUSE", 0, xmouseMode, TRAILER_XMOUSE_MODE)                         \
  X(OPTION_SIMULATE_MOUSEACTIVATE, "ThroughSimulateWM_MOUSEACTIVATE", 0, xmouseMode, DAEMON_ONLY) \
  X(OPTION_MASK_XMOUSE_ON_MOVE, "MaskXMOUSEOnMOUSEMOVE", 0, maskXmouseOnMove,                   \
    TRAILER_MASK_XMOUSE_ON_MOVE)
// clang-format on

#define VORN_OPTION_ENUM(id, key, fallback, variable, trailerWord) id,
enum Option { VORN_OPTIONS(VORN_OPTION_ENUM) OPTION_COUNT };
#undef VORN_OPTION_ENUM

// The key of `option` (NULL outside the table).
const char *optionName(int option);

// The value of `option` in iniPath, or its default when the key is missing.
int readOption(int option);
