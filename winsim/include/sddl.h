// The SDDL conversions of ADVAPI32 as winsim provides them: a SID as text,
// and a security descriptor from its text. Results are LocalAlloc'd and
// freed with LocalFree, as on Windows.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SDDL_REVISION_1 1

BOOL WINAPI ConvertSidToStringSidA(PSID sid, LPSTR *text);
BOOL WINAPI ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision,
                                                                 PSECURITY_DESCRIPTOR *descriptor,
                                                                 PULONG size);

#ifdef __cplusplus
}
#endif
