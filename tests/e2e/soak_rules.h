// The soak's configurations, and what each does to a click: for every
// window class, area and button, the messages the window receives. Several
// lists, and rules that swallow some clicks (NoAction) and pass others
// (Default, Through, ThroughWithNoActivate, ActivateAndDefault), so that a
// click's fate depends on its button, its area and its window's class.
// Nothing opens a modal loop: right presses on captions are swallowed, and
// no rule swallows the left release that ends the move loop of a left
// press on a caption that it let through.
//
// Each image compiled from these rules takes less than one page (about
// 3.3 KB): a reload can only reuse the section that the hooked processes
// hold since the first daemon of the session, whose size is whole pages.
// Only the bad file made to be too large for it is larger.
#pragma once

#include <string>
#include <vector>

#include "mouse_input.h"
#include "soak_report.h"

namespace e2e {

enum SoakArea { SOAK_CLIENT, SOAK_CAPTION, SOAK_AREA_COUNT };
enum { SOAK_BUTTON_COUNT = 3 };

struct SoakRules {
  const char *name;
  // vorn.ini; NULL for a configuration that gives no rules.
  const char *text;
  // "WM_LBUTTONDOWN, WM_LBUTTONUP", or "none".
  const char *fates[SOAK_CLASS_COUNT][SOAK_AREA_COUNT][SOAK_BUTTON_COUNT];
};

// Left presses of Guarded windows are swallowed, and so are their left
// releases in the client area; left presses in the client area of Open
// windows activate them; middle clicks on captions are swallowed except on
// Plain windows; right presses in the client area of Open windows are
// swallowed.
extern const SoakRules GUARDED_WINDOWS_RULES;
// Much the reverse: left clicks of Plain windows are swallowed, middle
// clicks pass on Guarded windows and are swallowed on captions and in the
// client area of Open windows, right presses of Guarded windows are
// swallowed.
extern const SoakRules PLAIN_WINDOWS_RULES;
// What every click does when there are no rules.
extern const SoakRules NO_RULES;

const char *expectedFate(const SoakRules &rules, SoakWindowClass windowClass, SoakArea area,
                         MouseButton button);

// A left press in the client area of a window that is not in front
// activates it and reaches it; one on the window in front is swallowed. A
// press handled twice, as by a second hook, would first activate the
// window and then find it in front: it would be swallowed.
extern const char *const FOREGROUND_DECIDES_RULES;

// A vorn.ini that a user should never have written, made at run time.
struct BadConfiguration {
  const char *kind;
  std::string bytes;
  // What the daemon makes of it.
  const SoakRules *rules;
  // The Error entry of section Status that the daemon writes into it.
  const char *statusError;
};

std::vector<BadConfiguration> badConfigurations();

// What the daemon writes when it cannot publish an image.
extern const char *const MAPPING_FAILED;

}  // namespace e2e
