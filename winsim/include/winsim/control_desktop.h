// winsim controls for the simulated desktop (windows, threads, messages,
// hooks, input, settings).
#pragma once

#include "winsim/wintypes.h"
