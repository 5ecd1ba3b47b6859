// The processes' program files that tests set (winsimSetProcessImagePath).
#pragma once

#include <windows.h>

namespace winsim {

// Every process runs the host program again.
void forgetProcessImagePaths();
// The process id behind the current process's pseudo handle or one that
// OpenProcess returned; 0 for any other handle.
DWORD processIdOfHandle(HANDLE handle);

}  // namespace winsim
