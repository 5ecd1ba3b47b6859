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
#include "advapi32/token_facts.h"
#include "kernel32/handles.h"
#include "kernel32/process_images.h"
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
  DWORD processId;
  bool limitedTwin;  // the linked limited token of the process's one
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

using Ace = winsim::SddlAce;

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
    aces->push_back(Ace{parts[0], parts[1], parts[2], parts[5]});
    *at = close + 1;
  }
  return true;
}

struct Parsed {
  std::string owner;  // empty: none given
  std::vector<Ace> sacl;
};

// The DACL's ACEs (hasDacl false when there is none), and what `parsed`
// asks for; false for text that is no descriptor.
bool parseDescriptor(const std::string &text, bool *hasDacl, std::vector<Ace> *dacl,
                     Parsed *parsed = NULL) {
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
      if (component == 'O' && parsed) parsed->owner = text.substr(at, end - at);
      at = end;
    } else if (component == 'D' || component == 'S') {
      std::vector<Ace> aces;
      if (!parseAcl(text, &at, &aces)) return false;
      if (component == 'D') {
        *hasDacl = true;
        *dacl = aces;
      } else if (parsed) {
        parsed->sacl = aces;
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

// The level a label's SID names: an alias or S-1-16-<rid>.
bool labelLevel(const std::string &sid, DWORD *rid) {
  static const struct {
    const char *alias;
    DWORD rid;
  } levels[] = {{"LW", SECURITY_MANDATORY_LOW_RID},
                {"ME", SECURITY_MANDATORY_MEDIUM_RID},
                {"HI", SECURITY_MANDATORY_HIGH_RID},
                {"SI", SECURITY_MANDATORY_SYSTEM_RID}};
  for (const auto &level : levels) {
    if (sid == level.alias) {
      *rid = level.rid;
      return true;
    }
  }
  std::vector<BYTE> bytes;
  if (!parseSid(sid.c_str(), &bytes) || bytes[1] != 1 || bytes[7] != 16) return false;
  memcpy(rid, bytes.data() + 8, 4);
  return true;
}

DWORD labelPolicy(const std::string &rights) {
  if (rights.size() > 2 && rights[0] == '0') return (DWORD)strtoul(rights.c_str(), NULL, 16);
  DWORD policy = 0;
  for (size_t at = 0; at + 1 < rights.size(); at += 2) {
    std::string right = rights.substr(at, 2);
    if (right == "NW") policy |= SYSTEM_MANDATORY_LABEL_NO_WRITE_UP;
    if (right == "NR") policy |= SYSTEM_MANDATORY_LABEL_NO_READ_UP;
  }
  return policy;
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

std::string currentUserSidTextForTokens() { return currentUserSidText(); }

bool sddlParts(const std::string &text, std::string *owner, bool *hasDacl,
               std::vector<SddlAce> *dacl) {
  Parsed parsed;
  bool parsedOk = parseDescriptor(text, hasDacl, dacl, &parsed);
  *owner = parsed.owner;
  return parsedOk;
}

bool sidFromText(const std::string &text, std::vector<BYTE> *sid) {
  static const char *const ALIASES[][2] = {
      {"WD", "S-1-1-0"},      {"CO", "S-1-3-0"},      {"OW", "S-1-3-4"},
      {"AU", "S-1-5-11"},     {"SY", "S-1-5-18"},     {"BA", "S-1-5-32-544"},
      {"BU", "S-1-5-32-545"}, {"AC", "S-1-15-2-1"},   {"LW", "S-1-16-4096"},
      {"ME", "S-1-16-8192"},  {"HI", "S-1-16-12288"},
  };
  for (const auto &alias : ALIASES) {
    if (text == alias[0]) return parseSid(alias[1], sid);
  }
  return parseSid(text.c_str(), sid);
}

void resetSecurity() {
  std::lock_guard<std::mutex> guard(securityLock);
  userSid.clear();
}

std::string userSidText() { return currentUserSidText(); }

DWORD integrityLevel() { return processIntegrityRid(GetCurrentProcessId()); }

DWORD objectSecurity(const std::string &text, bool hasDescriptor, ObjectSecurity *security) {
  std::string user = currentUserSidText();
  DWORD level = integrityLevel();
  security->owner = user;
  security->labelRid = 0;
  security->labelPolicy = SYSTEM_MANDATORY_LABEL_NO_WRITE_UP;
  bool hasDacl = false;
  std::vector<Ace> dacl;
  Parsed parsed;
  if (hasDescriptor && parseDescriptor(text, &hasDacl, &dacl, &parsed)) {
    if (!parsed.owner.empty() && parsed.owner != user) return ERROR_INVALID_OWNER;
    for (const Ace &ace : parsed.sacl) {
      if (ace.type != "ML") continue;
      if (!labelLevel(ace.sid, &security->labelRid)) return ERROR_INVALID_LABEL;
      security->labelPolicy = labelPolicy(ace.rights);
    }
  }
  // "Windows Integrity Mechanism Design": no process may give an object a
  // label above its own level; an object made without a label by a process
  // below Medium gets that process's level.
  if (security->labelRid > level) return ERROR_INVALID_LABEL;
  if (security->labelRid == 0 && level < SECURITY_MANDATORY_MEDIUM_RID) security->labelRid = level;
  return 0;
}

DWORD mandatoryRights(const ObjectSecurity &security, DWORD rights) {
  // MS-DTYP, SYSTEM_MANDATORY_LABEL_ACE: the policy keeps principals whose
  // level is below the object's from writing (NO_WRITE_UP) or reading
  // (NO_READ_UP); an object without a label counts as Medium.
  DWORD label = security.labelRid ? security.labelRid : SECURITY_MANDATORY_MEDIUM_RID;
  if (integrityLevel() >= label) return rights;
  if (security.labelPolicy & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP) rights &= ~(DWORD)FILE_MAP_WRITE;
  if (security.labelPolicy & SYSTEM_MANDATORY_LABEL_NO_READ_UP) rights &= ~(DWORD)FILE_MAP_READ;
  return rights;
}

// One block: the owner's SID, then a SACL with the label entry, if any.
PSECURITY_DESCRIPTOR securityInfoBlock(const ObjectSecurity &security, PSID *owner, PACL *sacl) {
  std::vector<BYTE> ownerSid;
  parseSid(security.owner.c_str(), &ownerSid);
  const size_t sidOfLabel = 12, aceSize = 8 + sidOfLabel, aclSize = sizeof(ACL) + aceSize;
  size_t bytes = 8 + ownerSid.size() + aclSize;
  BYTE *block = (BYTE *)LocalAlloc(LMEM_FIXED, bytes);
  if (!block) return NULL;
  memset(block, 0, bytes);
  memcpy(block + 8, ownerSid.data(), ownerSid.size());
  if (owner) *owner = block + 8;
  ACL *acl = (ACL *)(block + 8 + ownerSid.size());
  acl->AclRevision = 2;
  acl->AclSize = (WORD)aclSize;
  acl->AceCount = security.labelRid ? 1 : 0;
  BYTE *ace = (BYTE *)(acl + 1);
  ace[0] = SYSTEM_MANDATORY_LABEL_ACE_TYPE;
  ace[2] = (BYTE)aceSize;
  memcpy(ace + 4, &security.labelPolicy, 4);
  BYTE *sid = ace + 8;
  sid[0] = 1;
  sid[1] = 1;
  sid[7] = 16;
  memcpy(sid + 8, &security.labelRid, 4);
  if (sacl) *sacl = acl;
  return block;
}

}  // namespace winsim

extern "C" {

void winsimSetIntegrityLevel(DWORD rid) { winsimSetProcessIntegrity(GetCurrentProcessId(), rid); }

int winsimSetUserSid(LPCSTR text) {
  std::vector<BYTE> sid;
  if (!text || !parseSid(text, &sid)) return 0;
  std::lock_guard<std::mutex> guard(securityLock);
  userSid = sid;
  return 1;
}

// The current process's token, or that of a process opened with
// OpenProcess. Windows decides by the token's own security descriptor;
// modelled on the safe side: the token of another user's process, or of a
// process of a higher integrity level, is refused (ERROR_ACCESS_DENIED).
BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  DWORD processId = winsim::processIdOfHandle(process);
  if (!processId || !token) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  DWORD self = GetCurrentProcessId();
  if (processId != self &&
      (winsim::processUserSidText(processId) != winsim::processUserSidText(self) ||
       winsim::processIntegrityRid(processId) > winsim::processIntegrityRid(self))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  *token = winsim::newHandle(&tokenKind, new Token{access, processId, false});
  return *token != NULL;
}

// TokenUser and TokenOwner (the user: the token of a program that is not
// elevated): the structure, its SID right behind it. TokenIntegrityLevel:
// the TOKEN_MANDATORY_LABEL and its SID S-1-16-<rid>. TokenElevation: a
// TOKEN_ELEVATION.
BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed) {
  Token *object = (Token *)winsim::handleObject(token, &tokenKind);
  if (!object || !(object->access & TOKEN_QUERY)) {
    SetLastError(object ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if ((kind != TokenUser && kind != TokenOwner && kind != TokenIntegrityLevel &&
       kind != TokenElevation && kind != TokenElevationType && kind != TokenLinkedToken) ||
      !needed) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD linked = winsim::processLinkedIntegrityRid(object->processId);
  if (kind == TokenElevationType || kind == TokenLinkedToken) {
    DWORD required = kind == TokenElevationType ? (DWORD)sizeof(TOKEN_ELEVATION_TYPE)
                                                : (DWORD)sizeof(TOKEN_LINKED_TOKEN);
    *needed = required;
    if (!information || size < required) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    if (kind == TokenElevationType) {
      *(TOKEN_ELEVATION_TYPE *)information =
          !linked ? TokenElevationTypeDefault
                  : (object->limitedTwin ? TokenElevationTypeLimited : TokenElevationTypeFull);
      return TRUE;
    }
    if (!linked) {
      SetLastError(ERROR_NO_SUCH_LOGON_SESSION);
      return FALSE;
    }
    ((TOKEN_LINKED_TOKEN *)information)->LinkedToken = winsim::newHandle(
        &tokenKind, new Token{TOKEN_QUERY, object->processId, !object->limitedTwin});
    return TRUE;
  }
  std::vector<BYTE> sid;
  if (kind == TokenUser || kind == TokenOwner) {
    parseSid(winsim::processUserSidText(object->processId).c_str(), &sid);
  } else if (kind == TokenIntegrityLevel) {
    DWORD rid = object->limitedTwin ? linked : winsim::processIntegrityRid(object->processId);
    std::string label = "S-1-16-" + std::to_string(rid);
    parseSid(label.c_str(), &sid);
  }
  DWORD required = kind == TokenElevation ? (DWORD)sizeof(TOKEN_ELEVATION)
                                          : (DWORD)(sizeof(SID_AND_ATTRIBUTES) + sid.size());
  *needed = required;
  if (!information || size < required) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (kind == TokenElevation) {
    ((TOKEN_ELEVATION *)information)->TokenIsElevated =
        winsim::processElevated(object->processId) && !object->limitedTwin ? 1 : 0;
    return TRUE;
  }
  // TOKEN_USER and TOKEN_MANDATORY_LABEL are one SID_AND_ATTRIBUTES,
  // TOKEN_OWNER one PSID, the same first field: the SID goes after the
  // larger.
  SID_AND_ATTRIBUTES *entry = (SID_AND_ATTRIBUTES *)information;
  BYTE *copy = (BYTE *)(entry + 1);
  memcpy(copy, sid.data(), sid.size());
  entry->Sid = copy;
  entry->Attributes = kind == TokenIntegrityLevel ? SE_GROUP_INTEGRITY : 0;
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
