#include "config/section_security.h"

#include <windows.h>

#include <string.h>

#include "system/delay_loaded.h"

namespace {

// Owned by the user, generic all to the user, generic read to ALL
// APPLICATION PACKAGES, and labelled at the daemon's own level (Medium, or
// High when elevated) with no-write-up: a process below that level, a
// low-integrity sandbox among them, may read the section and never write
// it. (No label at all would count as Medium; a Low label would let Low
// processes write.) The owner is named so that an elevated daemon's
// section, too, belongs to the user rather than to Administrators.
const char DESCRIPTOR_OWNER[] = "O:";
const char DESCRIPTOR_USER[] = "D:P(A;;GA;;;";
const char DESCRIPTOR_READERS[] = ")(A;;GR;;;S-1-15-2-1)S:(ML;;NW;;;";
const char DESCRIPTOR_END[] = ")";
// Room for any SID as text: "S-1-", an authority of at most 15 digits and
// 15 sub-authorities of at most 11 characters each make 184.
const int SID_TEXT_CAPACITY = 192;

union TokenSid {
  SID_AND_ATTRIBUTES sid;  // TOKEN_USER and TOKEN_MANDATORY_LABEL alike
  BYTE bytes[sizeof(SID_AND_ATTRIBUTES) + SECURITY_MAX_SID_SIZE];
};

// The SID of the process's user (TokenUser) or of its integrity level
// (TokenIntegrityLevel); 0 when it cannot be had.
int tokenSid(TOKEN_INFORMATION_CLASS kind, TokenSid *information) {
  HANDLE token = NULL;
  if (!delayLoaded::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
  DWORD needed = 0;
  BOOL found =
      delayLoaded::GetTokenInformation(token, kind, information, sizeof *information, &needed);
  CloseHandle(token);
  return found;
}

// A SID's bytes: revision, sub-authority count, six bytes of authority,
// then the sub-authorities, four bytes each.
DWORD sidLength(const BYTE *sid) { return 8u + 4u * sid[1]; }

DWORD lastSubAuthority(const BYTE *sid) {
  DWORD value = 0;
  if (sid[1] > 0) memcpy(&value, sid + sidLength(sid) - 4, 4);
  return value;
}

int sameSid(const void *one, const void *other) {
  const BYTE *a = (const BYTE *)one, *b = (const BYTE *)other;
  if (!a || !b || sidLength(a) != sidLength(b)) return 0;
  for (DWORD i = 0; i < sidLength(a); ++i) {
    if (a[i] != b[i]) return 0;
  }
  return 1;
}

// The level of a label SID S-1-16-<level>; Medium when the system lists
// none, as it counts an object without a label.
DWORD labelLevel(const ACL *sacl) {
  if (!sacl) return SECURITY_MANDATORY_MEDIUM_RID;
  const BYTE *ace = (const BYTE *)(sacl + 1);
  for (WORD i = 0; i < sacl->AceCount; ++i) {
    ACE_HEADER header;
    memcpy(&header, ace, sizeof header);
    if (header.AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE) return lastSubAuthority(ace + 8);
    ace += header.AceSize;
  }
  return SECURITY_MANDATORY_MEDIUM_RID;
}

DWORD processLevel(void) {
  TokenSid level;
  if (!tokenSid(TokenIntegrityLevel, &level)) return SECURITY_MANDATORY_MEDIUM_RID;
  return lastSubAuthority((const BYTE *)level.sid.Sid);
}

// The daemon's level as a label names it; never below Medium.
const char *labelAlias(DWORD level) {
  if (level >= SECURITY_MANDATORY_SYSTEM_RID) return "SI";
  return level >= SECURITY_MANDATORY_HIGH_RID ? "HI" : "ME";
}

// The user's SID as text, from LocalAlloc (LocalFree it); NULL when it
// cannot be had.
LPSTR userSidText() {
  TokenSid user;
  LPSTR sid = NULL;
  if (!tokenSid(TokenUser, &user) || !delayLoaded::ConvertSidToStringSidA(user.sid.Sid, &sid)) {
    return NULL;
  }
  return sid;
}

}  // namespace

LPSECURITY_ATTRIBUTES sandboxReadableSecurity(SECURITY_ATTRIBUTES *attributes) {
  LPSTR sid = userSidText();
  if (!sid) return NULL;
  char text[sizeof DESCRIPTOR_OWNER + sizeof DESCRIPTOR_USER + 2 * SID_TEXT_CAPACITY +
            sizeof DESCRIPTOR_READERS + 2 + sizeof DESCRIPTOR_END];
  text[0] = '\0';  // appended to: lstrcatA is imported anyway, lstrcpyA is not
  const char *parts[] = {
      DESCRIPTOR_OWNER,           sid,           DESCRIPTOR_USER, sid, DESCRIPTOR_READERS,
      labelAlias(processLevel()), DESCRIPTOR_END};
  for (const char *part : parts) lstrcatA(text, part);
  LocalFree(sid);
  attributes->nLength = sizeof *attributes;
  attributes->bInheritHandle = FALSE;
  attributes->lpSecurityDescriptor = NULL;
  if (!delayLoaded::ConvertStringSecurityDescriptorToSecurityDescriptorA(
          text, SDDL_REVISION_1, &attributes->lpSecurityDescriptor, NULL)) {
    return NULL;
  }
  return attributes;
}

void releaseSectionSecurity(LPSECURITY_ATTRIBUTES attributes) {
  if (attributes) LocalFree(attributes->lpSecurityDescriptor);
}

DWORD sectionLevel(void) {
  DWORD level = processLevel();
  return level > SECURITY_MANDATORY_MEDIUM_RID ? level : SECURITY_MANDATORY_MEDIUM_RID;
}

int isOwnSection(HANDLE section, DWORD lowestLevel) {
  TokenSid user;
  if (!tokenSid(TokenUser, &user)) return 0;
  PSID owner = NULL;
  PACL sacl = NULL;
  PSECURITY_DESCRIPTOR descriptor = NULL;
  if (delayLoaded::GetSecurityInfo(section, SE_KERNEL_OBJECT,
                                   OWNER_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, &owner,
                                   NULL, NULL, &sacl, &descriptor) != ERROR_SUCCESS) {
    return 0;
  }
  int own = sameSid(owner, user.sid.Sid) && labelLevel(sacl) >= lowestLevel;
  LocalFree(descriptor);
  return own;
}

int isCommittedView(const void *view, uint32_t size) {
  const char *at = (const char *)view;
  const char *end = at + size;
  while (at < end) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(at, &info, sizeof info) < sizeof info || info.State != MEM_COMMIT ||
        info.RegionSize == 0) {
      return 0;
    }
    at = (const char *)info.BaseAddress + info.RegionSize;
  }
  return 1;
}
