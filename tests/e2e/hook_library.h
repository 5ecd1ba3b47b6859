// The staged vorn.dll, loaded into this process. Its IsHooking export
// answers for this process alone: the hook handles are the daemon's own,
// no longer in the shared section.
//
// Loading it runs the library's attach here, which maps the configuration
// image that exists at that moment and keeps that view until the library
// is unloaded. So it is loaded only once the daemon has announced its
// hooks, and unloaded, together with the reference the system took when
// it loaded it for the hooks, before the next scenario: Wine never unloads
// a hook library from a process by itself, not even after the hook is
// removed, and a later scenario's first hooked event would otherwise find
// an earlier scenario's view.
#pragma once

#include <string>

namespace e2e {

bool loadHookLibrary(const std::string &stageDirectory);

// The daemon's IsHooking(): 1 while any of its hooks is installed; -1 when
// the library is not loaded.
int hookLibraryIsHooking();

// True while vorn.dll is loaded into this process, by the test or by the
// system for the hooks.
bool hookLibraryPresent();

// Drops every reference to vorn.dll that this process holds.
void unloadHookLibrary();

}  // namespace e2e
