#include "process_trust.h"

#include <windows.h>

#include "security_functions.h"
#include "sid_bytes.h"

namespace {

// What `process`'s token says: its user's SID and its integrity level
// (NO_INTEGRITY where the system has none).
const DWORD NO_INTEGRITY = 0xFFFFFFFFu;
const DWORD MEDIUM_INTEGRITY = 0x2000;  // SECURITY_MANDATORY_MEDIUM_RID

struct TokenFacts {
  BYTE user[SECURITY_MAX_SID_SIZE];
  DWORD integrity;
};

// The SID's last sub-authority: an integrity label's level.
DWORD lastSubAuthority(const BYTE *sid) {
  const BYTE *last = sid + 8 + 4 * ((DWORD)sid[1] - 1);
  return (DWORD)last[0] | (DWORD)last[1] << 8 | (DWORD)last[2] << 16 | (DWORD)last[3] << 24;
}

int readTokenFacts(HANDLE process, TokenFacts *facts) {
  SecurityFunctions functions;
  findSecurityFunctions(&functions);
  HANDLE token = NULL;
  if (!functions.OpenProcessToken || !functions.GetTokenInformation ||
      !functions.OpenProcessToken(process, TOKEN_QUERY, &token)) {
    return 0;
  }
  // TOKEN_USER or TOKEN_MANDATORY_LABEL, each a SID_AND_ATTRIBUTES with
  // the SID behind it.
  union {
    SID_AND_ATTRIBUTES entry;
    BYTE bytes[sizeof(SID_AND_ATTRIBUTES) + SECURITY_MAX_SID_SIZE];
  } answer;
  DWORD needed = 0;
  int read = functions.GetTokenInformation(token, TokenUser, &answer, sizeof answer, &needed) &&
             answer.entry.Sid && sidLength((const BYTE *)answer.entry.Sid) <= SECURITY_MAX_SID_SIZE;
  if (read) {
    const BYTE *sid = (const BYTE *)answer.entry.Sid;
    for (DWORD i = 0; i < sidLength(sid); ++i) facts->user[i] = sid[i];
    facts->integrity = NO_INTEGRITY;
    if (functions.GetTokenInformation(token, TokenIntegrityLevel, &answer, sizeof answer,
                                      &needed) &&
        answer.entry.Sid && ((const BYTE *)answer.entry.Sid)[1] > 0) {
      facts->integrity = lastSubAuthority((const BYTE *)answer.entry.Sid);
    }
  }
  CloseHandle(token);
  return read;
}

// The process behind `window`, opened to be queried; NULL when it cannot
// be. The limited right is the one a process of a higher level grants;
// systems before Vista know only the full one.
HANDLE openWindowProcess(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (!processId) return NULL;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  return process ? process : OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
}

}  // namespace

int processImagePath(HANDLE process, char *path, DWORD size) {
  SecurityFunctions functions;
  findSecurityFunctions(&functions);
  return functions.QueryFullProcessImageNameA &&
         functions.QueryFullProcessImageNameA(process, 0, path, &size);
}

int windowRunsProgram(HWND window, const char *image) {
  SecurityFunctions functions;
  findSecurityFunctions(&functions);
  if (!functions.QueryFullProcessImageNameA) return 1;
  HANDLE process = openWindowProcess(window);
  if (!process) return 0;
  char path[MAX_PATH];
  int runs = processImagePath(process, path, sizeof path) && lstrcmpiA(path, image) == 0;
  CloseHandle(process);
  return runs;
}

HWND findProgramWindow(const char *className, const char *title, const char *image) {
  HWND window = NULL;
  while ((window = FindWindowExA(NULL, window, className, title)) != NULL) {
    if (windowRunsProgram(window, image)) return window;
  }
  return NULL;
}

int mayTakeForeground(HWND window) {
  TokenFacts own, its;
  if (!readTokenFacts(GetCurrentProcess(), &own)) return 0;
  HANDLE process = openWindowProcess(window);
  if (!process) return 0;
  int read = readTokenFacts(process, &its);
  CloseHandle(process);
  if (!read || !sameSid(own.user, its.user)) return 0;
  if (own.integrity == NO_INTEGRITY) return 1;
  DWORD least = own.integrity < MEDIUM_INTEGRITY ? own.integrity : MEDIUM_INTEGRITY;
  return its.integrity != NO_INTEGRITY && its.integrity >= least;
}

int processUserSid(HANDLE process, BYTE *sid) {
  TokenFacts facts;
  if (!readTokenFacts(process, &facts)) return 0;
  for (DWORD i = 0; i < sidLength(facts.user); ++i) sid[i] = facts.user[i];
  return 1;
}
