// Who may open the configuration section. Store apps and other sandboxed
// programs (AppContainer, low integrity) cannot open a named object that
// grants only their user: the section's descriptor names them too.
#pragma once

#include <windows.h>

// Fills `attributes` with a descriptor that gives the daemon's user full
// access (a reload re-opens the section for writing while other
// processes hold it), ALL APPLICATION PACKAGES read access and labels the
// section low integrity, readable from below but not writable; returns
// `attributes`. NULL (the default security) when any step fails: the
// section is then made as it always was.
LPSECURITY_ATTRIBUTES sandboxReadableSecurity(SECURITY_ATTRIBUTES *attributes);

// Frees the descriptor sandboxReadableSecurity made; NULL is fine.
void releaseSectionSecurity(LPSECURITY_ATTRIBUTES attributes);
