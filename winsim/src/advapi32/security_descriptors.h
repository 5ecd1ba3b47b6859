// What the kernel's sections learn from ADVAPI32: a descriptor's SDDL text
// and the rights its DACL gives the process's user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace winsim {

// The SDDL text a descriptor made by
// ConvertStringSecurityDescriptorToSecurityDescriptorA was made from;
// false for anything else.
bool descriptorText(PSECURITY_DESCRIPTOR descriptor, std::string *text);

// The FILE_MAP_READ and FILE_MAP_WRITE rights that the DACL of `text`
// grants the process's user (allow ACEs for the user's SID or for
// everyone, WD). A descriptor without a DACL grants both.
DWORD userSectionRights(const std::string &text);

// The user's SID back to its default.
void resetSecurity();

// An ACE as SDDL writes it: (type;flags;rights;object;inherited object;sid).
struct SddlAce {
  std::string type, flags, rights, sid;
};

// The owner ("" when the text names none) and the DACL of SDDL `text`;
// false for text that is no descriptor.
bool sddlParts(const std::string &text, std::string *owner, bool *hasDacl,
               std::vector<SddlAce> *dacl);

// Every file and folder has the default security again.
void forgetFileSecurity();

// A SID, in its text form or as an SDDL alias (WD, CO, SY, BA, BU, AU, ...),
// in its binary form.
bool sidFromText(const std::string &text, std::vector<BYTE> *sid);

}  // namespace winsim
