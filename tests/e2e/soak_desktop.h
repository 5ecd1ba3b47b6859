// The soak's desktop: twelve captioned windows side by side, none covering
// another, half of them owned by the test process and half by the window
// host, two of each class in each; and the gestures made on them, each
// click's fate checked against what a configuration says.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "mouse_input.h"
#include "soak_process.h"
#include "soak_rules.h"
#include "support/message_sequence.h"

namespace e2e {

struct SoakWindow {
  SoakProcess *owner;
  int index;  // in its owner's report
  SoakWindowClass windowClass;
  HWND handle;
};

// Clicks of the given buttons, one after the other, at one point of a
// window's client area or caption.
struct SoakGesture {
  const SoakWindow *window;
  SoakArea area;
  std::vector<MouseButton> buttons;
};

class SoakDesktop {
 public:
  // Makes the windows of `here` in this process and starts `host` with the
  // others. "" on success, else what failed.
  std::string open(SoakProcess *here, SoakProcess *host);

  const std::vector<SoakWindow> &windows() const { return all; }
  // The windows of `owner` of class `windowClass`.
  std::vector<const SoakWindow *> windowsOf(const SoakProcess *owner,
                                            SoakWindowClass windowClass) const;

  // Makes `gesture` and checks what its window received of each click
  // against `rules`. With several configurations (a reload may happen
  // meanwhile), each message of a click may be delivered or swallowed as
  // any one of them says. No other window may receive anything.
  ::testing::AssertionResult clickAndCheck(const SoakGesture &gesture,
                                           const std::vector<const SoakRules *> &rules);
  ::testing::AssertionResult clickAndCheck(const SoakGesture &gesture, const SoakRules &rules) {
    return clickAndCheck(gesture, std::vector<const SoakRules *>{&rules});
  }

  // Makes `gesture` and gives what its window received of the click of
  // `button`, as text ("WM_LBUTTONUP" or "none"); `problem` says what went
  // wrong otherwise.
  std::string clickAndTell(const SoakGesture &gesture, MouseButton button, std::string *problem);

  int clicksMade() const { return clicks; }

  std::string describe(const SoakGesture &gesture) const;

 private:
  // Makes `gesture`; `received` gets the button messages that the windows
  // of the gesture's process received meanwhile, in order.
  bool makeGesture(const SoakGesture &gesture, vorntest::MessageLog *received,
                   std::string *problem);
  void rememberGesture(const SoakProcess *owner, POINT point);
  void waitOutDoubleClick(const SoakProcess *owner, POINT point);

  // Where and when the last gesture on each process's windows ended: the
  // system pairs presses into double clicks per process, so a press on a
  // window of one process can pair with one made there two gestures ago.
  struct LastGesture {
    const SoakProcess *owner;
    POINT point;
    DWORD end;
  };
  std::vector<LastGesture> lastGestures;

  std::vector<SoakWindow> all;
  int clicks = 0;
};

}  // namespace e2e
