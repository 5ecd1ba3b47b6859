// The measured cases: each is one mouse message handed to a hook procedure
// the way the system hands it, against the scene of hook_scene.h. The
// first case is the baseline, a hook that only passes the message on; the
// others are vorn's mouseHookProc.
#pragma once

#include <windows.h>

struct HookCase {
  const char *name;   // identifier in the programs' output
  const char *label;  // what the case is, in words
  void (*useOptions)(void);
  LRESULT (*handleOneMessage)(void);
};

extern const HookCase HOOK_CASES[];
extern const int HOOK_CASE_COUNT;

// HOOK_CASES[BASELINE_CASE] is the pass-through hook.
enum { BASELINE_CASE = 0 };
