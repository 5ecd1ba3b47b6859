// The system's active window tracking (focus follows the mouse), switched
// for the whole desktop. Changes are neither written to the user profile nor
// broadcast. When the system cannot say whether tracking is on, nothing is
// switched: a guess could leave the user's setting turned the wrong way.
#pragma once

// Switches tracking off when the system reports it on.
void switchTrackingOffIfOn(void);

// Switches tracking on when the system reports it off.
void switchTrackingOnIfOff(void);
