// VERSION resource functions: declared with the kernel services in winsim.
#pragma once

#include <windows.h>
