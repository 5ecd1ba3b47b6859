#include "elevation_guard.h"

#include <windows.h>

#include "program_folder.h"
#include "security_functions.h"
#include "sid_bytes.h"

namespace {

// SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION.
const int FILE_OBJECT = 1;
const DWORD OWNER_AND_DACL = 0x1 | 0x4;

// Allow entries: ACCESS_ALLOWED_ACE_TYPE, and the object and callback
// kinds, whose SID is not where the plain kind has it: any of those with a
// write right counts against the folder.
const BYTE ALLOWED = 0x0;
const BYTE ALLOWED_OBJECT = 0x5, ALLOWED_CALLBACK = 0x9, ALLOWED_CALLBACK_OBJECT = 0xB;

// FILE_WRITE_DATA (add a file), FILE_APPEND_DATA (add a folder),
// FILE_DELETE_CHILD, DELETE, WRITE_DAC, WRITE_OWNER, GENERIC_ALL,
// GENERIC_WRITE.
const DWORD WRITE_RIGHTS = 0x2 | 0x4 | 0x40 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000;

const BYTE ADMINISTRATORS[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};
const BYTE LOCAL_SYSTEM[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
const BYTE CREATOR_OWNER[] = {1, 1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0};
// NT SERVICE\TrustedInstaller:
// S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464.
const BYTE TRUSTED_INSTALLER[] = {1,    6,    0,    0,    0,    0,    0,    5,    80,   0,    0,
                                  0,    0xB5, 0x89, 0xFB, 0x38, 0x19, 0x84, 0xC2, 0xCB, 0x5C, 0x6C,
                                  0x23, 0x6D, 0x57, 0x00, 0x77, 0x6E, 0xC0, 0x02, 0x64, 0x87};

int isTrusted(const BYTE *sid, const BYTE *trustedUser) {
  return sameSid(sid, ADMINISTRATORS) || sameSid(sid, LOCAL_SYSTEM) ||
         sameSid(sid, TRUSTED_INSTALLER) || (trustedUser && sameSid(sid, trustedUser));
}

WORD wordAt(const BYTE *at) { return (WORD)(at[0] | at[1] << 8); }
DWORD dwordAt(const BYTE *at) {
  return (DWORD)at[0] | (DWORD)at[1] << 8 | (DWORD)at[2] << 16 | (DWORD)at[3] << 24;
}

// What this process's token says about the folder check.
struct OwnToken {
  int elevated;
  int userTrusted;  // no program of the user runs at a lower level
  BYTE user[SECURITY_MAX_SID_SIZE];
};

const DWORD NO_INTEGRITY = 0xFFFFFFFFu;

DWORD integrityOf(const SecurityFunctions &functions, HANDLE token) {
  union {
    SID_AND_ATTRIBUTES label;
    BYTE bytes[sizeof(SID_AND_ATTRIBUTES) + SECURITY_MAX_SID_SIZE];
  } answer;
  DWORD needed = 0;
  if (!functions.GetTokenInformation(token, TokenIntegrityLevel, &answer, sizeof answer, &needed) ||
      !answer.label.Sid || ((const BYTE *)answer.label.Sid)[1] == 0) {
    return NO_INTEGRITY;
  }
  const BYTE *sid = (const BYTE *)answer.label.Sid;
  return dwordAt(sid + 8 + 4 * ((DWORD)sid[1] - 1));
}

// Whether UAC runs the user's ordinary programs with a limited token of a
// lower integrity level than `token`'s: the limited token linked to it.
// Where that cannot be read, it is taken to be lower.
int hasLowerTwin(const SecurityFunctions &functions, HANDLE token) {
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD needed = 0;
  if (!functions.GetTokenInformation(token, TokenElevationType, &type, sizeof type, &needed) ||
      type != TokenElevationTypeFull) {
    return 0;
  }
  TOKEN_LINKED_TOKEN linked;
  linked.LinkedToken = NULL;
  if (!functions.GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &needed) ||
      !linked.LinkedToken) {
    return 1;
  }
  DWORD own = integrityOf(functions, token), twin = integrityOf(functions, linked.LinkedToken);
  CloseHandle(linked.LinkedToken);
  return own == NO_INTEGRITY || twin == NO_INTEGRITY || twin < own;
}

// 0 when the token cannot be read: then nothing is known to be elevated.
int readOwnToken(const SecurityFunctions &functions, OwnToken *facts) {
  HANDLE token = NULL;
  if (!functions.OpenProcessToken || !functions.GetTokenInformation ||
      !functions.OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return 0;
  }
  TOKEN_ELEVATION elevation;
  elevation.TokenIsElevated = 0;
  DWORD needed = 0;
  facts->elevated =
      functions.GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &needed) &&
      elevation.TokenIsElevated;
  union {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } answer;
  int read = functions.GetTokenInformation(token, TokenUser, &answer, sizeof answer, &needed) &&
             answer.user.User.Sid &&
             sidLength((const BYTE *)answer.user.User.Sid) <= SECURITY_MAX_SID_SIZE;
  facts->userTrusted = read && !hasLowerTwin(functions, token);
  if (read) {
    const BYTE *sid = (const BYTE *)answer.user.User.Sid;
    for (DWORD i = 0; i < sidLength(sid); ++i) facts->user[i] = sid[i];
  }
  CloseHandle(token);
  return 1;
}

// This program's folder, into `folder` (MAX_PATH bytes), as the A
// functions open it (program_folder.h).
int programFolder(char *folder) { return programFolderFile("", folder, NULL); }

}  // namespace

const char elevatedFolderText[] =
    "vorn runs as administrator from a folder that programs without administrator rights may "
    "change: they could replace its files and so run as administrator. vorn does not start.\r\n"
    "\r\nPut vorn in a folder under C:\\Program Files.";
const char elevatedFolderCaption[] = "vorn";

int folderWritableByOthers(const void *owner, const void *dacl, const void *trustedUser) {
  const BYTE *user = (const BYTE *)trustedUser;
  if (!owner || !isTrusted((const BYTE *)owner, user)) return 1;
  if (!dacl) return 1;
  const BYTE *acl = (const BYTE *)dacl;
  WORD size = wordAt(acl + 2), count = wordAt(acl + 4);
  DWORD at = 8;
  for (WORD i = 0; i < count; ++i) {
    if (at + 8 > size) return 1;  // a DACL that cannot be read is not trusted
    const BYTE *ace = acl + at;
    WORD aceSize = wordAt(ace + 2);
    if (aceSize < 8 || at + aceSize > size) return 1;
    BYTE type = ace[0];
    DWORD mask = dwordAt(ace + 4);
    if (mask & WRITE_RIGHTS) {
      if (type == ALLOWED_OBJECT || type == ALLOWED_CALLBACK || type == ALLOWED_CALLBACK_OBJECT) {
        return 1;
      }
      if (type == ALLOWED) {
        const BYTE *sid = ace + 8;
        if (aceSize < 16 || 8 + sidLength(sid) > aceSize) return 1;
        if (!isTrusted(sid, user) && !sameSid(sid, CREATOR_OWNER)) return 1;
      }
    }
    at += aceSize;
  }
  return 0;
}

int refusesToRunElevatedHere(void) {
  SecurityFunctions functions;
  findSecurityFunctions(&functions);
  OwnToken token;
  if (!readOwnToken(functions, &token) || !token.elevated) return 0;
  char folder[MAX_PATH];
  PSID owner = NULL;
  PACL dacl = NULL;
  PSECURITY_DESCRIPTOR descriptor = NULL;
  int unsafe = !programFolder(folder) || !functions.GetNamedSecurityInfoA ||
               functions.GetNamedSecurityInfoA(folder, FILE_OBJECT, OWNER_AND_DACL, &owner, NULL,
                                               &dacl, NULL, &descriptor) != ERROR_SUCCESS ||
               folderWritableByOthers(owner, dacl, token.userTrusted ? token.user : NULL);
  if (descriptor) LocalFree(descriptor);
  if (unsafe) MessageBoxA(NULL, elevatedFolderText, elevatedFolderCaption, MB_OK);
  return unsafe;
}
