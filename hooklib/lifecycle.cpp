// The library's composition root: its life in each process (the entry
// point the system calls), and the control exports the daemon calls to
// load the configuration and install and remove the system-wide hooks.
#include "lifecycle.h"

#include <windows.h>

#include "config/image_layout.h"
#include "config/image_publish.h"
#include "config/loader.h"
#include "config/loader_state.h"
#include "hooks/hook_state.h"
#include "vorn.h"

namespace {

// The wheel arrived as a registered message only on the first Windows 95
// release (4.0) and on NT 3.x; the low word holds the major version in its
// low byte and the minor version in its high byte.
int wantsRegisteredWheelMessage(DWORD version) {
  WORD majorMinor = LOWORD(version);
  if (version & 0x80000000u) return majorMinor == 0x0004;
  return majorMinor == 0x0003;
}

void attachProcess() {
  mapPublishedImage();
  if (wantsRegisteredWheelMessage(GetVersion())) {
    wheelMessage = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
  }
}

// The hooks a daemon installs, in their order of installation: each with
// the word of the section's trailer that records its handle. The last is
// installed only with the activation option.
struct HookRow {
  int kind;
  HOOKPROC procedure;
  HHOOK *handle;
};
const HookRow HOOK_ROWS[] = {
    {WH_MOUSE, mouseHookProc, &mouseHook},
    {WH_GETMESSAGE, msgHookProc, &getMessageHook},
    {WH_CALLWNDPROCRET, cwpretHookProc, &callWndProcRetHook},
};
const int HOOK_COUNT = sizeof HOOK_ROWS / sizeof HOOK_ROWS[0];
static_assert(TRAILER_MOUSE_HOOK + 4 * HOOK_COUNT == IMAGE_TRAILER_SIZE,
              "one trailer word for each hook, the last words of the trailer");

uint32_t trailerWordOf(int row) { return TRAILER_MOUSE_HOOK + 4u * (uint32_t)row; }

// A handle as the trailer holds it. "64-bit versions of Windows use 32-bit
// handles for interoperability. When sharing a handle between 32-bit and
// 64-bit applications, only the lower 32 bits are significant, so it is
// safe to truncate the handle [...] or sign-extend the handle."
HHOOK recordedHook(int row) { return (HHOOK)(INT_PTR)daemonTrailerWord(trailerWordOf(row)); }

// The handles go where the next daemon finds them: the trailer of the
// section, which only a daemon of this user writes and which the hooked
// programs hold for as long as they run. Recorded after every change, so
// that a hook whose removal failed stays recorded too.
void recordHook(int row) {
  setDaemonTrailerWord(trailerWordOf(row), (int32_t)(INT_PTR)*HOOK_ROWS[row].handle);
}

// In the reverse order of installation. A hook whose removal fails stays
// recorded, so that a later call retries.
void removeHooks() {
  for (int row = HOOK_COUNT - 1; row >= 0; --row) {
    HHOOK *hook = HOOK_ROWS[row].handle;
    if (*hook && UnhookWindowsHookEx(*hook)) *hook = NULL;
    recordHook(row);
  }
}

// Windows removes a daemon's hooks with its thread when it is killed; Wine
// keeps them running, and every message would then pass the same
// procedure twice. Those the trailer names are removed first; for hooks
// the system already removed, removing them fails and nothing else
// happens.
void removeHooksOfAnEarlierDaemon() {
  if (hooksInstalledHere) return;
  for (int row = 0; row < HOOK_COUNT; ++row) {
    HHOOK left = recordedHook(row);
    if (left) UnhookWindowsHookEx(left);
  }
}

}  // namespace

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  moduleHandle = instance;
  if (reason == DLL_PROCESS_ATTACH) {
    attachProcess();
  } else if (reason == DLL_PROCESS_DETACH) {
    releaseConfiguration();
  }
  return TRUE;
}

extern "C" int MySetHook(void) {
  loadConfiguration();
  removeHooksOfAnEarlierDaemon();
  hooksInstalledHere = 1;
  int wanted = useCallWndProcRetHook ? HOOK_COUNT : HOOK_COUNT - 1;
  for (int row = 0; row < wanted; ++row) {
    HHOOK *hook = HOOK_ROWS[row].handle;
    if (!*hook)
      *hook = SetWindowsHookExA(HOOK_ROWS[row].kind, HOOK_ROWS[row].procedure, moduleHandle, 0);
    recordHook(row);
  }
  return IsHooking();
}

extern "C" int MyEndHook(void) {
  removeHooks();
  releaseConfiguration();
  return IsHooking();
}

extern "C" int IsHooking(void) {
  for (int row = 0; row < HOOK_COUNT; ++row) {
    if (*HOOK_ROWS[row].handle) return 1;
  }
  return 0;
}

extern "C" const char *MyIniPath(void) { return iniPath; }
