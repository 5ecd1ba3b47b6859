#include "hooks/active_tracking.h"

#include <windows.h>

namespace {

enum TrackingState { TRACKING_UNKNOWN, TRACKING_OFF, TRACKING_ON };

TrackingState queryTracking(void) {
  BOOL on = FALSE;
  if (!SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &on, 0)) return TRACKING_UNKNOWN;
  return on ? TRACKING_ON : TRACKING_OFF;
}

// For this setting the new value travels in pvParam itself.
void setTracking(BOOL on) {
  SystemParametersInfoA(SPI_SETACTIVEWINDOWTRACKING, 0, (PVOID)(UINT_PTR)on, 0);
}

}  // namespace

void switchTrackingOffIfOn(void) {
  if (queryTracking() == TRACKING_ON) setTracking(FALSE);
}

void switchTrackingOnIfOff(void) {
  if (queryTracking() == TRACKING_OFF) setTracking(TRUE);
}
