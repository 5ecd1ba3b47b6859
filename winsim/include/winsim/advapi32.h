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

typedef struct _TOKEN_OWNER {
  PSID Owner;
} TOKEN_OWNER, *PTOKEN_OWNER;

typedef struct _TOKEN_MANDATORY_LABEL {
  SID_AND_ATTRIBUTES Label;
} TOKEN_MANDATORY_LABEL, *PTOKEN_MANDATORY_LABEL;

typedef enum _TOKEN_INFORMATION_CLASS {
  TokenUser = 1,
  TokenOwner = 4,
  TokenIntegrityLevel = 25
} TOKEN_INFORMATION_CLASS;

// Integrity levels: the last sub-authority of a label's SID, S-1-16-<rid>.
#define SECURITY_MANDATORY_UNTRUSTED_RID 0x0000u
#define SECURITY_MANDATORY_LOW_RID 0x1000u
#define SECURITY_MANDATORY_MEDIUM_RID 0x2000u
#define SECURITY_MANDATORY_HIGH_RID 0x3000u
#define SECURITY_MANDATORY_SYSTEM_RID 0x4000u

// An access control list and the mandatory label entry it may hold.
typedef struct _ACL {
  BYTE AclRevision;
  BYTE Sbz1;
  WORD AclSize;
  WORD AceCount;
  WORD Sbz2;
} ACL, *PACL;

typedef struct _ACE_HEADER {
  BYTE AceType;
  BYTE AceFlags;
  WORD AceSize;
} ACE_HEADER;

#define SYSTEM_MANDATORY_LABEL_ACE_TYPE 0x11u
#define SYSTEM_MANDATORY_LABEL_NO_WRITE_UP 0x1u
#define SYSTEM_MANDATORY_LABEL_NO_READ_UP 0x2u

typedef struct _SYSTEM_MANDATORY_LABEL_ACE {
  ACE_HEADER Header;
  DWORD Mask;
  DWORD SidStart;
} SYSTEM_MANDATORY_LABEL_ACE;

typedef DWORD SECURITY_INFORMATION;
#define OWNER_SECURITY_INFORMATION 0x00000001u
#define LABEL_SECURITY_INFORMATION 0x00000010u

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed);

#ifdef __cplusplus
}
#endif
