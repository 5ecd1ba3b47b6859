// winsim's controls for tests: the things a test sets up or inspects that
// Windows offers no API for (the shell's version, another thread's queue,
// the record of sent messages and key strokes, ...). Host build only.
#pragma once

#include "winsim/control_kernel.h"
#include "winsim/control_desktop.h"
