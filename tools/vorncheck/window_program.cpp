#include "window_program.h"

#include <windows.h>

#include <string.h>

#include <string>

namespace {

HANDLE openWindowProcess(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId) : NULL;
}

// The mandatory label's RID of the process's token: the last
// sub-authority of the label's SID (revision, count, six bytes of
// authority, then the sub-authorities). False when the token cannot be
// read.
bool integrityOf(HANDLE process, DWORD *level) {
  HANDLE token = NULL;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  union {
    TOKEN_MANDATORY_LABEL label;
    unsigned char bytes[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
  } answer;
  DWORD size = 0;
  bool read = GetTokenInformation(token, TokenIntegrityLevel, &answer, sizeof answer, &size);
  CloseHandle(token);
  const unsigned char *sid = (const unsigned char *)answer.label.Label.Sid;
  const unsigned char *end = answer.bytes + (size < sizeof answer ? size : sizeof answer);
  if (!read || sid < answer.bytes || sid + 8 > end) return false;
  unsigned count = sid[1];
  if (count == 0 || sid + 8 + 4 * count > end) return false;
  memcpy(level, sid + 8 + 4 * (count - 1), sizeof *level);
  return true;
}

}  // namespace

std::string programFileOf(HWND window) {
  HANDLE process = openWindowProcess(window);
  if (!process) return "";
  char path[MAX_PATH] = "";
  DWORD size = MAX_PATH;
  if (!QueryFullProcessImageNameA(process, 0, path, &size)) path[0] = '\0';
  CloseHandle(process);
  std::string file = path;
  size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? file : file.substr(slash + 1);
}

std::string windowTitleOf(HWND window) {
  WCHAR wide[256] = {0};
  InternalGetWindowText(window, wide, 256);
  char text[512] = "";
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL) <= 0) text[0] = '\0';
  return text;
}

IntegrityComparison compareIntegrityWithOurs(HWND window) {
  DWORD ours = 0;
  if (!integrityOf(GetCurrentProcess(), &ours)) return INTEGRITY_NOT_ABOVE_OURS;  // no levels here
  HANDLE process = openWindowProcess(window);
  DWORD theirs = 0;
  bool known = process && integrityOf(process, &theirs);
  if (process) CloseHandle(process);
  if (!known) return INTEGRITY_UNKNOWN;
  return theirs > ours ? INTEGRITY_ABOVE_OURS : INTEGRITY_NOT_ABOVE_OURS;
}
