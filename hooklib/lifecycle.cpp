// The library's composition root: its life in each process (the entry
// point the system calls), and the control exports the daemon calls to
// load the configuration and install and remove the system-wide hooks.
#include "lifecycle.h"

#include <windows.h>

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

HHOOK installHook(int kind, HOOKPROC procedure) {
  return SetWindowsHookExA(kind, procedure, moduleHandle, 0);
}

// A hook whose removal fails stays recorded, so that a later call retries.
void removeHook(HHOOK *hook) {
  if (*hook && UnhookWindowsHookEx(*hook)) *hook = NULL;
}

// In the reverse order of installation.
void removeHooks() {
  removeHook(&callWndProcRetHook);
  removeHook(&getMessageHook);
  removeHook(&mouseHook);
}

// Handles left in the shared section by a daemon that ended without
// removing its hooks would stop this one from installing any. Where the
// system has removed them with their process, the handles are simply
// forgotten; where it keeps them running, they are removed first, so that
// no message passes the same procedure twice.
void forgetHooksOfAnEarlierDaemon() {
  if (hooksInstalledHere) return;
  removeHooks();
  callWndProcRetHook = NULL;
  getMessageHook = NULL;
  mouseHook = NULL;
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
  forgetHooksOfAnEarlierDaemon();
  hooksInstalledHere = 1;
  if (!mouseHook) mouseHook = installHook(WH_MOUSE, mouseHookProc);
  if (!getMessageHook) getMessageHook = installHook(WH_GETMESSAGE, msgHookProc);
  if (useCallWndProcRetHook && !callWndProcRetHook) {
    callWndProcRetHook = installHook(WH_CALLWNDPROCRET, cwpretHookProc);
  }
  return IsHooking();
}

extern "C" int MyEndHook(void) {
  removeHooks();
  releaseConfiguration();
  return IsHooking();
}

extern "C" int IsHooking(void) {
  if (mouseHook) return 1;
  if (getMessageHook) return 1;
  if (callWndProcRetHook) return 1;
  return 0;
}
