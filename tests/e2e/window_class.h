// Window classes of the test programs: an arrow cursor and the system's
// window colour, so that screenshots show ordinary windows.
#pragma once

#include <windows.h>

namespace e2e {

// Registers `name` with `procedure` for this module; registering a class
// twice does nothing.
void registerPlainWindowClass(const char *name, WNDPROC procedure);

}  // namespace e2e
