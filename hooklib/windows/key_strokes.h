// The shell's Windows-key shortcuts, typed into the system's input stream
// as one batch, clear of the modifier keys the user is holding.
#pragma once

void minimizeAllWindows(void);      // Windows+M
void undoMinimizeAllWindows(void);  // Windows+Shift+M
void showDesktop(void);             // Windows+D
