#include "config/section_security.h"

#include <windows.h>

#include "system/delay_loaded.h"

namespace {

// Generic all to the user, generic read to ALL APPLICATION PACKAGES, and
// a low mandatory label with no-write-up, the user's SID between the two.
const char DESCRIPTOR_HEAD[] = "D:P(A;;GA;;;";
const char DESCRIPTOR_TAIL[] = ")(A;;GR;;;S-1-15-2-1)S:(ML;;NW;;;LW)";
// Room for any SID as text: "S-1-", an authority of at most 15 digits and
// 15 sub-authorities of at most 11 characters each make 184.
const int SID_TEXT_CAPACITY = 192;

// The SID of the process's user as text, from LocalAlloc (LocalFree it);
// NULL when it cannot be had.
LPSTR userSidText() {
  HANDLE token = NULL;
  if (!delayLoaded::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return NULL;
  union {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } information;
  DWORD needed = 0;
  BOOL found =
      delayLoaded::GetTokenInformation(token, TokenUser, &information, sizeof information, &needed);
  CloseHandle(token);
  LPSTR sid = NULL;
  if (!found || !delayLoaded::ConvertSidToStringSidA(information.user.User.Sid, &sid)) return NULL;
  return sid;
}

}  // namespace

LPSECURITY_ATTRIBUTES sandboxReadableSecurity(SECURITY_ATTRIBUTES *attributes) {
  LPSTR sid = userSidText();
  if (!sid) return NULL;
  char text[sizeof DESCRIPTOR_HEAD + SID_TEXT_CAPACITY + sizeof DESCRIPTOR_TAIL];
  text[0] = '\0';  // appended to: lstrcatA is imported anyway, lstrcpyA is not
  lstrcatA(text, DESCRIPTOR_HEAD);
  lstrcatA(text, sid);
  lstrcatA(text, DESCRIPTOR_TAIL);
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
