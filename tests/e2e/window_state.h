// What the scenarios look at and report: the z-order of their windows,
// which one is the foreground window, which are minimised or maximised.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The given windows in their current z-order, highest first.
std::vector<HWND> zOrderOf(const std::vector<HWND> &windows);

// Stacks the windows at the top in the order given, the first highest,
// without activating any of them.
void stackFromTop(const std::vector<HWND> &windows);

// Makes `window` the foreground window and pumps until it is, and until
// no other visible window that is not topmost lies above it: under Wine
// the raise that comes with the activation arrives a little later.
bool activate(HWND window);

// True when the windows stand in `expected` order and `foreground` is the
// foreground window.
bool desktopIs(const std::vector<HWND> &expected, HWND foreground);

// One line for messages and the demo, such as
// "top to bottom: Front [foreground], Back [minimised]".
std::string describeDesktop(const std::vector<HWND> &windows);

}  // namespace e2e
