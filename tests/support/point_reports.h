// What the tests of vorncheck --point and --at share, in-process and
// end-to-end: the configuration they point with, and how a report names a
// window.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <string>

namespace vorntest {

// Middle clicks on captions lower or minimise, on a button nothing; a
// double click on a caption toggles maximise.
const char POINT_CONFIGURATION[] =
    "[List1]\nHook1=NCMBUTTONUP\nHook2=MBUTTONUP\n"
    "1.Match=Caption.NotForeground\n1.Action=LowerAndSwitch\n"
    "2.Match=Caption.Foreground\n2.Action=MinimizeOrLower\n"
    "3.Match=Button\n3.Action=NoAction\n"
    "[List2]\nHook1=NCLBUTTONDBLCLK\n1.Match=Caption\n1.Action=ToggleMaximize\n"
    "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n"
    "[Match.Button]\nnPattern=1\n1.Invoked.Class=Button\n";

// What a report says of a middle click that the sample's desktop rule
// takes (on the desktop or the taskbar): the press, then the release.
const char SAMPLE_DESKTOP_PRESS[] =
    "  MBUTTONDOWN      no list of its own: MBUTTONUP's List1 decides it, with rule 1 (match "
    "\"Desktop\"): the press is swallowed";
const char SAMPLE_DESKTOP_RELEASE[] =
    "  MBUTTONUP        List1, rule 1 (match \"Desktop\"): \"ShowDesktop\" runs; the click is "
    "swallowed";

// A window handle as a report writes it.
inline std::string handleText(HWND window) {
  char text[32];
  snprintf(text, sizeof text, "0x%08lx", (unsigned long)(uintptr_t)window);
  return text;
}

inline bool says(const std::string &text, const std::string &words) {
  return text.find(words) != std::string::npos;
}

}  // namespace vorntest
