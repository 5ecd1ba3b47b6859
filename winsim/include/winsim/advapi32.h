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

typedef enum _TOKEN_INFORMATION_CLASS {
  TokenUser = 1,
  TokenOwner = 4,
  TokenElevationType = 18,
  TokenLinkedToken = 19,
  TokenElevation = 20,
  TokenIntegrityLevel = 25
} TOKEN_INFORMATION_CLASS;

typedef struct _TOKEN_ELEVATION {
  DWORD TokenIsElevated;
} TOKEN_ELEVATION, *PTOKEN_ELEVATION;

typedef enum _TOKEN_ELEVATION_TYPE {
  TokenElevationTypeDefault = 1,
  TokenElevationTypeFull = 2,
  TokenElevationTypeLimited = 3
} TOKEN_ELEVATION_TYPE;

// The other token of a pair that UAC made: the limited one of an elevated
// token, the elevated one of a limited token. The caller closes it.
typedef struct _TOKEN_LINKED_TOKEN {
  HANDLE LinkedToken;
} TOKEN_LINKED_TOKEN;

typedef struct _TOKEN_OWNER {
  PSID Owner;
} TOKEN_OWNER, *PTOKEN_OWNER;

// The integrity level: a SID S-1-16-<rid>.
typedef struct _TOKEN_MANDATORY_LABEL {
  SID_AND_ATTRIBUTES Label;
} TOKEN_MANDATORY_LABEL, *PTOKEN_MANDATORY_LABEL;

// Integrity levels: the last sub-authority of a label's SID, S-1-16-<rid>.
#define SECURITY_MANDATORY_UNTRUSTED_RID 0x0000u
#define SECURITY_MANDATORY_LOW_RID 0x1000u
#define SECURITY_MANDATORY_MEDIUM_RID 0x2000u
#define SECURITY_MANDATORY_HIGH_RID 0x3000u
#define SECURITY_MANDATORY_SYSTEM_RID 0x4000u
#define SE_GROUP_INTEGRITY 0x00000020u

// An object's security: its owner, its DACL (a binary ACL as Windows lays
// it out: an 8-byte header, then each ACE: type, flags, size, access mask,
// SID) and the mandatory label entry its SACL may hold. One LocalAlloc'd
// block holds what is asked for; LocalFree it.
typedef DWORD SECURITY_INFORMATION;
#define OWNER_SECURITY_INFORMATION 0x00000001u
#define DACL_SECURITY_INFORMATION 0x00000004u
#define LABEL_SECURITY_INFORMATION 0x00000010u
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

// Files and folders (GetNamedSecurityInfoA) and kernel objects such as
// sections (GetSecurityInfo, <aclapi.h>).
typedef enum _SE_OBJECT_TYPE {
  SE_UNKNOWN_OBJECT_TYPE = 0,
  SE_FILE_OBJECT = 1,
  SE_KERNEL_OBJECT = 6
} SE_OBJECT_TYPE;
DWORD WINAPI GetNamedSecurityInfoA(LPCSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION wanted,
                                   PSID *owner, PSID *group, PACL *dacl, PACL *sacl,
                                   PSECURITY_DESCRIPTOR *descriptor);

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed);

#ifdef __cplusplus
}
#endif
