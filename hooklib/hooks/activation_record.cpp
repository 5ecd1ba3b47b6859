#include "hooks/activation_record.h"

#include <windows.h>

#include "windows/last_activated_window.h"

HWND recordActivatedWindow(void) {
  HWND foreground = GetForegroundWindow();
  if (foreground != NULL) lastActivatedWindow = foreground;
  return foreground;
}
