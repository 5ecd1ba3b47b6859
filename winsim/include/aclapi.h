// GetSecurityInfo of ADVAPI32 as winsim provides it: the owner and the
// mandatory label of a section, from its handle. The result is one
// LocalAlloc'd block (free it with LocalFree) that the owner and the SACL
// point into, as on Windows.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

DWORD WINAPI GetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION what,
                             PSID *owner, PSID *group, PACL *dacl, PACL *sacl,
                             PSECURITY_DESCRIPTOR *descriptor);

#ifdef __cplusplus
}
#endif
