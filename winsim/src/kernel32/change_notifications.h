// Change notifications, as the waits of user32 see them.
#pragma once

#include <windows.h>

namespace winsim {

// 1 when `handle` is a change notification whose folder has changed since
// it was made or last renewed, 0 when it has not, -1 when `handle` is no
// change notification.
int changeNotificationState(HANDLE handle);

}  // namespace winsim
