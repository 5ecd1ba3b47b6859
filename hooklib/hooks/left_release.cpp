#include "hooks/left_release.h"

#include "hooks/hook_state.h"

void armLeftRelease(void) { lbuttonUpArmed = 1; }

void disarmLeftRelease(void) { lbuttonUpArmed = 0; }

int takeLeftReleaseArming(void) {
  if (!lbuttonUpArmed) return 0;
  lbuttonUpArmed = 0;
  return 1;
}
