// Waiting on observed state. Everything the scenarios watch happens while
// this thread handles its messages: vorn's hook procedures run inside it,
// the system commands they post are carried out by it, and the daemon's
// broadcast waits for it. So every wait pumps, and none is a bare sleep.
#pragma once

#include <windows.h>

#include <functional>

namespace e2e {

enum : DWORD { DEFAULT_TIMEOUT_MS = 5000 };

// Handles every message waiting for this thread, sent ones included.
void pumpPending();

// The timeouts below are as measured on a machine that runs Windows code
// natively or under Wine; VORN_E2E_TIME_SCALE (a whole number, default 1)
// stretches them all, for a run under full-system emulation.
// Pumps until `condition` holds or `timeoutMs` have passed; whether it held.
bool pumpUntil(const std::function<bool()> &condition, DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

// The same for `timeoutMs` as they are: for a wait already measured in this
// run.
bool pumpUntilUnscaled(const std::function<bool()> &condition, DWORD timeoutMs);

// Pumps until `object` is signalled or `timeoutMs` have passed; whether it
// was signalled.
bool pumpUntilSignalled(HANDLE object, DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

}  // namespace e2e
