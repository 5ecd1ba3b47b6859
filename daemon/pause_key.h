// The pause key: [Options] PauseKey=Ctrl+Alt+Pause (for instance) makes a
// keystroke that pauses vorn, and resumes it when paused, in both pairs.
// The 32-bit daemon registers it alone, so that one keystroke is not
// taken twice, and tells its 64-bit companion what it did; the key is read
// afresh at every load. A key that cannot be read, or that another program
// has taken, gives no pause key, silently, as the daemon reports nothing.
#pragma once

#include <windows.h>

// The hot key's identifier on the control window.
enum { PAUSE_KEY_ID = 1 };

// Reads "Ctrl+Alt+Pause": modifiers Ctrl (or Control), Alt, Shift and Win,
// each at most once, then one key: Pause, ScrollLock, F1 to F24, a letter
// or a digit; names without regard to case, no blanks. 1 with the MOD_*
// modifiers and the virtual key; 0 for anything else (an empty text
// included).
int parsePauseKey(const char *text, UINT *modifiers, UINT *virtualKey);

// After a load: registers the key that the file at `path` names, in place
// of the one before; none when it names none. Only in the 32-bit daemon.
void registerPauseKey(HWND window, const char *path);

// Lets the key go (the window is destroyed).
void unregisterPauseKey(HWND window);
