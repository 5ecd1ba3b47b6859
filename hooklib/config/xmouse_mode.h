// Choosing the XMouseMode from the options and the shell's version.
#pragma once

// The XMouseMode that the options and the shell's version select; reads
// UseXMOUSE and ThroughSimulateWM_MOUSEACTIVATE from iniPath.
int chooseXmouseMode(void);

// 1 when a shell32.dll of this major.minor file version offers the system's
// active window tracking (XMouseMode 2), else 0.
int shellVersionHasWindowTracking(unsigned major, unsigned minor);
