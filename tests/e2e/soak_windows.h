// The soak's windows, made the same way in the test process and in the
// window host: captioned top-level windows of three classes, whose class
// names the soak configurations' rules test, and a tiny marker window that
// gestures over this process's windows end on (mouse_input.h). Every
// window writes what it receives into this process's SoakReport.
//
// A soak window never enters a modal loop on its own account: a right
// press on its caption does not open the system menu, whatever vorn lets
// through, so a wrong verdict shows as a wrong message and never stalls a
// thread. Left presses on captions go to the system as usual and start its
// move loop, which the release of the same click ends.
#pragma once

#include <windows.h>

#include "soak_report.h"

namespace e2e {

extern const char *const SOAK_CLASS_NAMES[SOAK_CLASS_COUNT];

// Registers the classes (later calls do nothing), has every soak window
// of this process report into `report`, and has every fault raised in
// this process recorded there; NULL stops both.
void useSoakReport(SoakReport *report);

// Makes the windows `report` requests and its marker window, and records
// their handles in it; `ready` is set last. False when one could not be
// made. `owner` ("test" or "host") starts every title.
bool createSoakWindows(SoakReport *report, const char *owner);

}  // namespace e2e
