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

// The user's SID and the integrity level back to their defaults.
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

// The process's user's SID as text, and its integrity level.
std::string userSidText();
DWORD integrityLevel();

// Who owns an object and its mandatory label (labelRid 0: none, which
// counts as Medium).
struct ObjectSecurity {
  std::string owner;
  DWORD labelRid;
  DWORD labelPolicy;
};

// The owner and label of an object the process makes now with the
// descriptor `text` (when `hasDescriptor`); 0, or the Win32 error that
// refuses the creation.
DWORD objectSecurity(const std::string &text, bool hasDescriptor, ObjectSecurity *security);

// `rights` (FILE_MAP_READ, FILE_MAP_WRITE) less what the object's label
// forbids the process at its integrity level.
DWORD mandatoryRights(const ObjectSecurity &security, DWORD rights);

// GetSecurityInfo's block for the owner and the label.
PSECURITY_DESCRIPTOR securityInfoBlock(const ObjectSecurity &security, PSID *owner, PACL *sacl);

}  // namespace winsim
