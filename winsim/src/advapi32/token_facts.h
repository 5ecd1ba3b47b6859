// What each process's token says beyond its user: its integrity level and
// whether it is elevated; and which user a process other than the current
// one runs as. Set by tests (control_kernel.h), read by GetTokenInformation
// and by the kernel's private namespaces.
#pragma once

#include <windows.h>

#include <string>

namespace winsim {

// The SID text of the user `processId` runs as (the process's user by
// default, winsimSetUserSid).
std::string processUserSidText(DWORD processId);
// SECURITY_MANDATORY_*_RID; Medium by default.
DWORD processIntegrityRid(DWORD processId);
BOOL processElevated(DWORD processId);
// The integrity level of the limited token linked to the process's
// elevated one (UAC's pair), or 0 when its token has no linked token.
DWORD processLinkedIntegrityRid(DWORD processId);
void resetTokenFacts();
// The process's own user (security.cpp).
std::string currentUserSidTextForTokens();

}  // namespace winsim
