// ADVAPI32 as winsim provides it: the process's token and its user, as the
// library asks for them to build a security descriptor. <windows.h>
// includes it, as the platform's own does; the SDDL conversions are in
// <sddl.h>.
#pragma once

#include "winsim/wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef HANDLE *PHANDLE;
typedef ULONG *PULONG;
typedef void *PSID;
typedef void *PSECURITY_DESCRIPTOR;

#define TOKEN_QUERY 0x0008u
// The largest SID there is: 15 sub-authorities.
#define SECURITY_MAX_SID_SIZE 68

typedef struct _SID_AND_ATTRIBUTES {
  PSID Sid;
  DWORD Attributes;
} SID_AND_ATTRIBUTES;

typedef struct _TOKEN_USER {
  SID_AND_ATTRIBUTES User;
} TOKEN_USER, *PTOKEN_USER;

typedef enum _TOKEN_INFORMATION_CLASS { TokenUser = 1 } TOKEN_INFORMATION_CLASS;

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed);

#ifdef __cplusplus
}
#endif
