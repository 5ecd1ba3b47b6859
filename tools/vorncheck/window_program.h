// What vorncheck tells of the program that owns a window: its file name,
// and whether vorn's hooks can reach it at its integrity level.
#pragma once

#include <windows.h>

#include <string>

// The file name of the window's program, without its folder ("code.exe");
// "" when its process cannot be asked.
std::string programFileOf(HWND window);

// The title `window` shows, read as vorn's hooks read it: from the window
// itself, without a message that a hung program would never answer.
std::string windowTitleOf(HWND window);

enum IntegrityComparison {
  INTEGRITY_NOT_ABOVE_OURS = 0,
  INTEGRITY_ABOVE_OURS,  // elevated over vorncheck: a hook of this user does not reach it
  INTEGRITY_UNKNOWN,     // its token cannot be read, as an elevated program's cannot
};

// The window's program's integrity level against vorncheck's own.
IntegrityComparison compareIntegrityWithOurs(HWND window);
