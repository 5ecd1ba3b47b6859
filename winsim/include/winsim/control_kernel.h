// winsim controls for the kernel services (files, mappings, versions).
#pragma once

#include "winsim/wintypes.h"
