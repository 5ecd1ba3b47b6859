// Who may open the configuration section, and whether a section found
// under its name is one this program made. Store apps and other sandboxed
// programs (AppContainer, low integrity) cannot open a named object that
// grants only their user: the section's descriptor names them too, for
// reading.
#pragma once

#include <windows.h>

#include <stdint.h>

// Fills `attributes` with a descriptor that makes the user the owner,
// gives the user full access (a reload re-opens the section for writing
// while other processes hold it) and ALL APPLICATION PACKAGES read access,
// and labels the section at this process's integrity level, no lower than
// Medium, with no-write-up: readable from below, writable from no lower
// level; returns `attributes`. NULL (the default security) when any step
// fails: the section is then made as it always was.
LPSECURITY_ATTRIBUTES sandboxReadableSecurity(SECURITY_ATTRIBUTES *attributes);

// Frees the descriptor sandboxReadableSecurity made; NULL is fine.
void releaseSectionSecurity(LPSECURITY_ATTRIBUTES attributes);

// 1 when `section` (a handle with READ_CONTROL) is owned by this process's
// user and labelled no lower than `lowestLevel` (a SECURITY_MANDATORY_*_RID;
// an object without a label counts as Medium); 0 otherwise, or when that
// cannot be learnt.
int isOwnSection(HANDLE section, DWORD lowestLevel);

// The level the daemon labels its section with: its own, never below
// Medium. A section it finds under the name must carry at least this.
DWORD sectionLevel(void);

// 1 when every page of the `size` bytes at `view` is committed: a section
// made with SEC_RESERVE faults on the first byte read or written.
int isCommittedView(const void *view, uint32_t size);
