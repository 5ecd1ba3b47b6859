// What the kernel's sections learn from ADVAPI32: a descriptor's SDDL text
// and the rights its DACL gives the process's user.
#pragma once

#include <windows.h>

#include <string>

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

}  // namespace winsim
