// What the mouse hook decides for one mouse message: the gesture state,
// the message's rule list, the HookVerdict. The mouse hook decides the
// messages it is called for in the program that receives them; the
// get-message hook decides those whose mouse hook call the system
// marshalled to the daemon (hooks/marshalled_messages.h).
#pragma once

#include <windows.h>

// The HookVerdict for `message` (a mouse message identifier) as described by
// `mouse`, after its action ran.
LRESULT decideMouseMessage(UINT message, const MOUSEHOOKSTRUCT *mouse);
