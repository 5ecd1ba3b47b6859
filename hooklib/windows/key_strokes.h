// The shell's Windows-key shortcuts, typed into the system's input stream.
#pragma once

void minimizeAllWindows(void);      // Windows+M
void undoMinimizeAllWindows(void);  // Windows+Shift+M
void showDesktop(void);             // Windows+D
