// The processes' program files that tests set (winsimSetProcessImagePath).
#pragma once

#include <windows.h>

namespace winsim {

// Every process runs the host program again.
void forgetProcessImagePaths();
// The current process's pseudo handle, or one that OpenProcess returned.
bool isProcessHandle(HANDLE handle);
// The process id behind such a handle; 0 for any other handle.
DWORD processIdOfHandle(HANDLE handle);

}  // namespace winsim
