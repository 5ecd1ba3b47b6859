// ADVAPI32's security functions as the library needs them: the process
// token and its user's SID, SIDs as text, and security descriptors made
// from SDDL text. A descriptor here is a LocalAlloc'd block that keeps its
// text (checked for the SDDL grammar the system accepts), so that the
// kernel's sections can record it and apply its DACL to the user.
#include <sddl.h>
#include <windows.h>

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <mutex>
#include <string>
#include <vector>

#include "advapi32/security_descriptors.h"
#include "kernel32/handles.h"
#include "winsim/control_kernel.h"

namespace {

const char DEFAULT_USER_SID[] = "S-1-5-21-1111111111-2222222222-3333333333-1001";
const uint64_t DESCRIPTOR_MAGIC = 0x77696e73696d5344ull;  // "winsimSD"
const int MAX_SUB_AUTHORITIES = 15;

std::mutex securityLock;
std::vector<BYTE> userSid;

// "S-1-<authority>-<sub>..." into the binary form: revision, count,
// six bytes of authority (big-endian), the sub-authorities (little-endian).
bool parseSid(const char *text, std::vector<BYTE> *sid) {
  if (strncmp(text, "S-1-", 4) != 0) return false;
  const char *at = text + 4;
  std::vector<unsigned long long> parts;
  while (true) {
    if (!isdigit((unsigned char)*at)) return false;
    char *end = NULL;
    parts.push_back(strtoull(at, &end, 10));
    at = end;
    if (*at == '\0') break;
    if (*at != '-') return false;
    ++at;
  }
  if (parts.size() < 2 || parts.size() > 1 + MAX_SUB_AUTHORITIES) return false;
  if (parts[0] >= (1ull << 48)) return false;
  sid->assign(8 + 4 * (parts.size() - 1), 0);
  (*sid)[0] = 1;
  (*sid)[1] = (BYTE)(parts.size() - 1);
  for (int i = 0; i < 6; ++i) (*sid)[2 + i] = (BYTE)(parts[0] >> (8 * (5 - i)));
  for (size_t i = 1; i < parts.size(); ++i) {
    if (parts[i] > 0xFFFFFFFFull) return false;
    DWORD value = (DWORD)parts[i];
    memcpy(sid->data() + 8 + 4 * (i - 1), &value, 4);
  }
  return true;
}

bool formatSid(const BYTE *sid, std::string *text) {
  if (sid[0] != 1 || sid[1] > MAX_SUB_AUTHORITIES) return false;
  unsigned long long authority = 0;
  for (int i = 0; i < 6; ++i) authority = authority << 8 | sid[2 + i];
  *text = "S-1-" + std::to_string(authority);
  for (int i = 0; i < sid[1]; ++i) {
    DWORD value;
    memcpy(&value, sid + 8 + 4 * i, 4);
    *text += "-" + std::to_string(value);
  }
  return true;
}

// Caller holds securityLock.
const std::vector<BYTE> &currentUserSid() {
  if (userSid.empty()) parseSid(DEFAULT_USER_SID, &userSid);
  return userSid;
}

std::string currentUserSidText() {
  std::lock_guard<std::mutex> guard(securityLock);
  std::string text;
  formatSid(currentUserSid().data(), &text);
  return text;
}

struct Token {
  DWORD access;
};

void closeToken(void *object) { delete (Token *)object; }

const winsim::HandleKind tokenKind = {"token", closeToken};

// ---- SDDL -------------------------------------------------------------------
// The grammar: components O:<sid>, G:<sid>, D:<flags><aces>, S:<flags><aces>;
// an ACE is (type;flags;rights;object;inherited object;sid).

const char *const SID_ALIASES[] = {"WD", "AU", "BA", "BU", "SY", "OW", "CO", "AC",
                                   "LW", "ME", "HI", "SI", "RC", "IU", "NU", "AN"};
const char *const ACE_TYPES[] = {"A", "D", "AU", "AL", "ML"};

bool isSid(const std::string &text) {
  for (const char *alias : SID_ALIASES) {
    if (text == alias) return true;
  }
  std::vector<BYTE> ignored;
  return parseSid(text.c_str(), &ignored);
}

bool isAceType(const std::string &text) {
  for (const char *type : ACE_TYPES) {
    if (text == type) return true;
  }
  return false;
}

// Rights are two-letter names or a hexadecimal number.
bool isRights(const std::string &text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
  }
  if (text.empty() || text.size() % 2 != 0) return false;
  for (char c : text) {
    if (!isupper((unsigned char)c)) return false;
  }
  return true;
}

struct Ace {
  std::string type, rights, sid;
};

std::vector<std::string> fields(const std::string &text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at = text.find(';'); at != std::string::npos; at = text.find(';', start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// One ACL (after "D:" or "S:") up to the next component; its allow ACEs
// into `aces`.
bool parseAcl(const std::string &text, size_t *at, std::vector<Ace> *aces) {
  while (*at < text.size() && isupper((unsigned char)text[*at]) &&
         !(text.size() > *at + 1 && text[*at + 1] == ':')) {
    ++*at;  // flags such as P, AI, AR
  }
  while (*at < text.size() && text[*at] == '(') {
    size_t close = text.find(')', *at);
    if (close == std::string::npos) return false;
    std::vector<std::string> parts = fields(text.substr(*at + 1, close - *at - 1));
    if (parts.size() != 6 || !isAceType(parts[0]) || !isRights(parts[2]) || !isSid(parts[5])) {
      return false;
    }
    aces->push_back(Ace{parts[0], parts[2], parts[5]});
    *at = close + 1;
  }
  return true;
}

// The DACL's ACEs (hasDacl false when there is none); false for text that
// is no descriptor.
bool parseDescriptor(const std::string &text, bool *hasDacl, std::vector<Ace> *dacl) {
  *hasDacl = false;
  if (text.empty()) return false;
  size_t at = 0;
  while (at < text.size()) {
    if (at + 1 >= text.size() || text[at + 1] != ':') return false;
    char component = text[at];
    at += 2;
    if (component == 'O' || component == 'G') {
      size_t end = at;
      while (end < text.size() && !(end + 1 < text.size() && text[end + 1] == ':')) ++end;
      if (!isSid(text.substr(at, end - at))) return false;
      at = end;
    } else if (component == 'D' || component == 'S') {
      std::vector<Ace> aces;
      if (!parseAcl(text, &at, &aces)) return false;
      if (component == 'D') {
        *hasDacl = true;
        *dacl = aces;
      }
    } else {
      return false;
    }
  }
  return true;
}

DWORD rightsOf(const std::string &rights) {
  if (rights == "GA") return FILE_MAP_READ | FILE_MAP_WRITE;
  DWORD granted = 0;
  for (size_t at = 0; at + 1 < rights.size(); at += 2) {
    std::string right = rights.substr(at, 2);
    if (right == "GR") granted |= FILE_MAP_READ;
    if (right == "GW") granted |= FILE_MAP_WRITE;
    if (right == "GA") granted |= FILE_MAP_READ | FILE_MAP_WRITE;
  }
  return granted;
}

struct DescriptorBlock {
  uint64_t magic;
  char text[1];
};

}  // namespace

namespace winsim {

bool descriptorText(PSECURITY_DESCRIPTOR descriptor, std::string *text) {
  const DescriptorBlock *block = (const DescriptorBlock *)descriptor;
  if (!block || block->magic != DESCRIPTOR_MAGIC) return false;
  *text = block->text;
  return true;
}

DWORD userSectionRights(const std::string &text) {
  bool hasDacl = false;
  std::vector<Ace> dacl;
  if (!parseDescriptor(text, &hasDacl, &dacl) || !hasDacl) return FILE_MAP_READ | FILE_MAP_WRITE;
  std::string user = currentUserSidText();
  DWORD granted = 0;
  for (const Ace &ace : dacl) {
    if (ace.type == "A" && (ace.sid == user || ace.sid == "WD")) granted |= rightsOf(ace.rights);
  }
  return granted;
}

void resetSecurity() {
  std::lock_guard<std::mutex> guard(securityLock);
  userSid.clear();
}

}  // namespace winsim

extern "C" {

int winsimSetUserSid(LPCSTR text) {
  std::vector<BYTE> sid;
  if (!text || !parseSid(text, &sid)) return 0;
  std::lock_guard<std::mutex> guard(securityLock);
  userSid = sid;
  return 1;
}

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  if (process != GetCurrentProcess() || !token) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *token = winsim::newHandle(&tokenKind, new Token{access});
  return *token != NULL;
}

// Only TokenUser is known: the TOKEN_USER, its SID right behind it.
BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed) {
  Token *object = (Token *)winsim::handleObject(token, &tokenKind);
  if (!object || !(object->access & TOKEN_QUERY)) {
    SetLastError(object ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (kind != TokenUser || !needed) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(securityLock);
  const std::vector<BYTE> &sid = currentUserSid();
  DWORD required = (DWORD)(sizeof(TOKEN_USER) + sid.size());
  *needed = required;
  if (!information || size < required) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  TOKEN_USER *user = (TOKEN_USER *)information;
  BYTE *copy = (BYTE *)(user + 1);
  memcpy(copy, sid.data(), sid.size());
  user->User.Sid = copy;
  user->User.Attributes = 0;
  return TRUE;
}

BOOL WINAPI ConvertSidToStringSidA(PSID sid, LPSTR *text) {
  std::string formatted;
  if (!sid || !text || !formatSid((const BYTE *)sid, &formatted)) {
    SetLastError(ERROR_INVALID_SID);
    return FALSE;
  }
  *text = (LPSTR)LocalAlloc(LMEM_FIXED, formatted.size() + 1);
  if (!*text) return FALSE;
  memcpy(*text, formatted.c_str(), formatted.size() + 1);
  return TRUE;
}

BOOL WINAPI ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision,
                                                                 PSECURITY_DESCRIPTOR *descriptor,
                                                                 PULONG size) {
  if (!text || !descriptor) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (revision != SDDL_REVISION_1) {
    SetLastError(ERROR_UNKNOWN_REVISION);
    return FALSE;
  }
  bool hasDacl = false;
  std::vector<Ace> dacl;
  if (!parseDescriptor(text, &hasDacl, &dacl)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  size_t bytes = sizeof(DescriptorBlock) + strlen(text);
  DescriptorBlock *block = (DescriptorBlock *)LocalAlloc(LMEM_FIXED, bytes);
  if (!block) return FALSE;
  block->magic = DESCRIPTOR_MAGIC;
  memcpy(block->text, text, strlen(text) + 1);
  *descriptor = block;
  if (size) *size = (ULONG)bytes;
  return TRUE;
}

}  // extern "C"
