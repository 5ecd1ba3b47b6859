// Files' and folders' owners and DACLs, as GetNamedSecurityInfoA reports
// them. Tests give a folder its descriptor as SDDL text
// (winsimSetFileSecurity); any other existing file or folder has that of
// a folder in the user's profile: owned by the user, full control for
// the user, SYSTEM and Administrators.
#include <windows.h>

#include <string.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "advapi32/security_descriptors.h"
#include "advapi32/token_facts.h"
#include "kernel32/host_paths.h"
#include "winsim/control_kernel.h"

namespace {

std::mutex fileSecurityLock;
std::map<std::string, std::string> &descriptors() {
  static std::map<std::string, std::string> byHostPath;
  return byHostPath;
}

std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return path;
}

std::string profileFolderDescriptor() {
  std::string user = winsim::processUserSidText(GetCurrentProcessId());
  return "O:" + user + "D:(A;OICI;FA;;;" + user + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
}

// SDDL's access rights: hexadecimal, or two-letter names.
DWORD accessMask(const std::string &rights) {
  if (rights.size() > 2 && rights[0] == '0' && (rights[1] == 'x' || rights[1] == 'X')) {
    return (DWORD)std::stoul(rights.substr(2), NULL, 16);
  }
  static const struct {
    const char *name;
    DWORD mask;
  } NAMES[] = {{"FA", 0x1F01FF},   {"FR", 0x120089},   {"FW", 0x120116},   {"FX", 0x1200A0},
               {"GA", 0x10000000}, {"GR", 0x80000000}, {"GW", 0x40000000}, {"GX", 0x20000000},
               {"SD", 0x10000},    {"RC", 0x20000},    {"WD", 0x40000},    {"WO", 0x80000},
               {"CC", 0x1},        {"DC", 0x2},        {"LC", 0x4},        {"SW", 0x8},
               {"RP", 0x10},       {"WP", 0x20},       {"DT", 0x40},       {"LO", 0x80},
               {"CR", 0x100}};
  DWORD mask = 0;
  for (size_t at = 0; at + 1 < rights.size(); at += 2) {
    for (const auto &name : NAMES) {
      if (rights.compare(at, 2, name.name) == 0) mask |= name.mask;
    }
  }
  return mask;
}

BYTE aceFlags(const std::string &flags) {
  static const char *const NAMES[] = {"OI", "CI", "NP", "IO", "ID"};
  BYTE bits = 0;
  for (size_t at = 0; at + 1 < flags.size(); at += 2) {
    for (int i = 0; i < 5; ++i) {
      if (flags.compare(at, 2, NAMES[i]) == 0) bits |= (BYTE)(1 << i);
    }
  }
  return bits;
}

void append(std::vector<BYTE> *bytes, const void *data, size_t size) {
  bytes->insert(bytes->end(), (const BYTE *)data, (const BYTE *)data + size);
}

// The binary ACL of the SDDL ACEs (allow and deny ones).
bool binaryAcl(const std::vector<winsim::SddlAce> &aces, std::vector<BYTE> *acl) {
  std::vector<BYTE> body;
  WORD count = 0;
  for (const winsim::SddlAce &ace : aces) {
    std::vector<BYTE> sid;
    if ((ace.type != "A" && ace.type != "D") || !winsim::sidFromText(ace.sid, &sid)) continue;
    BYTE header[4] = {(BYTE)(ace.type == "A" ? 0 : 1), aceFlags(ace.flags), 0, 0};
    WORD size = (WORD)(8 + sid.size());
    header[2] = (BYTE)size;
    header[3] = (BYTE)(size >> 8);
    DWORD mask = accessMask(ace.rights);
    append(&body, header, 4);
    append(&body, &mask, 4);
    append(&body, sid.data(), sid.size());
    ++count;
  }
  ACL header = {2, 0, (WORD)(sizeof(ACL) + body.size()), count, 0};
  acl->clear();
  append(acl, &header, sizeof header);
  append(acl, body.data(), body.size());
  return true;
}

}  // namespace

void winsim::forgetFileSecurity() {
  std::lock_guard<std::mutex> hold(fileSecurityLock);
  descriptors().clear();
}

extern "C" {

int winsimSetFileSecurity(LPCSTR path, LPCSTR sddl) {
  std::string host;
  if (!path || !winsim::hostPathFor(path, &host)) return 0;
  host = withoutTrailingSeparators(host);
  std::lock_guard<std::mutex> hold(fileSecurityLock);
  if (!sddl) {
    descriptors().erase(host);
    return 1;
  }
  std::string owner;
  bool hasDacl = false;
  std::vector<winsim::SddlAce> dacl;
  if (!winsim::sddlParts(sddl, &owner, &hasDacl, &dacl)) return 0;
  descriptors()[host] = sddl;
  return 1;
}

// Only files and folders (SE_FILE_OBJECT), their owner and DACL. A
// descriptor without a DACL answers a NULL DACL: everyone may do anything.
DWORD WINAPI GetNamedSecurityInfoA(LPCSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION,
                                   PSID *owner, PSID *group, PACL *dacl, PACL *sacl,
                                   PSECURITY_DESCRIPTOR *descriptor) {
  if (type != SE_FILE_OBJECT || !descriptor) return ERROR_INVALID_PARAMETER;
  std::string host;
  if (!name || !winsim::hostPathFor(name, &host)) return ERROR_INVALID_NAME;
  host = withoutTrailingSeparators(host);
  struct stat info;
  if (stat(host.c_str(), &info) != 0) return ERROR_FILE_NOT_FOUND;
  std::string text;
  {
    std::lock_guard<std::mutex> hold(fileSecurityLock);
    auto found = descriptors().find(host);
    text = found != descriptors().end() ? found->second : profileFolderDescriptor();
  }
  std::string ownerText;
  bool hasDacl = false;
  std::vector<winsim::SddlAce> aces;
  std::vector<BYTE> ownerSid, acl;
  winsim::sddlParts(text, &ownerText, &hasDacl, &aces);
  if (!ownerText.empty()) winsim::sidFromText(ownerText, &ownerSid);
  if (hasDacl) binaryAcl(aces, &acl);
  BYTE *block = (BYTE *)LocalAlloc(LMEM_FIXED, ownerSid.size() + acl.size() + 1);
  if (!block) return ERROR_NOT_ENOUGH_MEMORY;
  if (!ownerSid.empty()) memcpy(block, ownerSid.data(), ownerSid.size());
  if (!acl.empty()) memcpy(block + ownerSid.size(), acl.data(), acl.size());
  if (owner) *owner = ownerSid.empty() ? NULL : block;
  if (group) *group = NULL;
  if (dacl) *dacl = hasDacl ? (PACL)(block + ownerSid.size()) : NULL;
  if (sacl) *sacl = NULL;
  *descriptor = block;
  return ERROR_SUCCESS;
}

}  // extern "C"
