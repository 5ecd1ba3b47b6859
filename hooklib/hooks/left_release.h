// Left-release arming, shared by all processes: only a left release that
// follows a left press undisturbed evaluates its list. These transitions
// are the only writers of lbuttonUpArmed.
#pragma once

// A left press arms the release.
void armLeftRelease(void);

// Anything that disturbs the press (another button, the wheel, a move
// beyond the drag distance) disarms it.
void disarmLeftRelease(void);

// The release itself: 1 when it was armed, which it no longer is.
int takeLeftReleaseArming(void);
