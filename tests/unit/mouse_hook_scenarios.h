// The mouse dispatcher as sequences of hook calls: each scenario loads a
// configuration, sets the hook library's options, and feeds the hook
// procedures a sequence of messages (with position, hit-test code and
// window) on a small desktop; each step states the HookVerdict, the gesture
// state afterwards and what happened to the desktop.
//
// The desktop: "main", a probe top-level window with "pane", a child, in
// it; "other", a second probe top-level window, stacked above main; main is
// the foreground window. What a step did is written as a list of effects,
// in this order:
//   ask W MESSAGE htN root R    W was sent WM_MOUSEACTIVATE for MESSAGE at
//                               hit-test N, naming its root parent R
//   maximize W                  W was asked to maximise (WM_SYSCOMMAND)
//   raise W                     W came to the top of main and other
//   foreground W                W became the foreground window
//   tracking on / tracking off  active window tracking was switched
//
// Portable: the same scenarios run on the host and under Wine. Where the
// next hook's calls can be seen (the host), a derived fixture checks them
// too; under Wine a verdict shows only in the hook's result.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "config/loader_state.h"
#include "hooks/hook_state.h"
#include "support/message_names.h"
#include "unit/dispatch_fixture.h"
#include "vorn.h"
#include "windows/last_activated_window.h"

namespace vorntest {

enum Role { MAIN, PANE, OTHER, NOBODY };

enum StepKind {
  MOUSE,             // mouseHookProc
  RETRIEVE,          // msgHookProc, for a message retrieved from the queue
  ACTIVATE,          // the window comes to the top and becomes the foreground
                     // window; its WM_ACTIVATE returns through cwpretHookProc
  LOWER,             // the window goes to the bottom and its
                     // WM_WINDOWPOSCHANGED returns through cwpretHookProc
  POSITION_CHANGED,  // only the WM_WINDOWPOSCHANGED through cwpretHookProc
};

// A state value a step does not check.
const int ANY = -99;

// Stands for the identifier this process registered for the wheel message.
const UINT REGISTERED_WHEEL = 0xFFFFFFFFu;

struct Step {
  StepKind kind = MOUSE;
  UINT message = 0;
  Role role = PANE;
  int code = HC_ACTION;
  int hitTest = HTCLIENT;
  DWORD mouseData = 0;  // for the extra buttons: which one, in the high word
  POINT pt = {150, 150};
  LRESULT verdict = MA_ACTIVATE;
  int middle = ANY;
  int armed = ANY;
  int clicks = ANY;
  int hold = ANY;
  int changed = ANY;
  Role lastActivated = NOBODY;
  bool checkLastActivated = false;
  std::string effects;

  // Each of these returns a changed copy, so that one step can serve as the
  // pattern of others.
  Step at(int x, int y) const {
    return with([&](Step &s) { s.pt = {x, y}; });
  }
  Step hit(int value) const {
    return with([&](Step &s) { s.hitTest = value; });
  }
  Step ofExtraButton(WORD button) const {
    return with([&](Step &s) { s.mouseData = MAKELONG(0, button); });
  }
  Step withCode(int value) const {
    return with([&](Step &s) { s.code = value; });
  }
  Step gives(LRESULT value) const {
    return with([&](Step &s) { s.verdict = value; });
  }
  Step middleAfter(int value) const {
    return with([&](Step &s) { s.middle = value; });
  }
  Step armedAfter(int value) const {
    return with([&](Step &s) { s.armed = value; });
  }
  Step clicksAfter(int value) const {
    return with([&](Step &s) { s.clicks = value; });
  }
  Step holdAfter(int value) const {
    return with([&](Step &s) { s.hold = value; });
  }
  Step changedAfter(int value) const {
    return with([&](Step &s) { s.changed = value; });
  }
  Step lastActivatedAfter(Role value) const {
    return with([&](Step &s) {
      s.lastActivated = value;
      s.checkLastActivated = true;
    });
  }
  Step does(const std::string &value) const {
    return with([&](Step &s) { s.effects = value; });
  }

 private:
  template <typename Change>
  Step with(Change change) const {
    Step copy = *this;
    change(copy);
    return copy;
  }
};

inline bool isNonClientMessage(UINT message) {
  return message >= WM_NCMOUSEMOVE && message < WM_MOUSEFIRST;
}

// A mouse message to `role`; non-client messages default to the caption.
inline Step mouse(UINT message, Role role = PANE) {
  Step step;
  step.message = message;
  step.role = role;
  step.hitTest = isNonClientMessage(message) ? HTCAPTION : HTCLIENT;
  if (isNonClientMessage(message)) step.pt = {152, 110};
  return step;
}

inline Step move(int x, int y, Role role = PANE) { return mouse(WM_MOUSEMOVE, role).at(x, y); }

// A message the thread only peeks at.
inline Step peek(UINT message, Role role = PANE) {
  return mouse(message, role).withCode(HC_NOREMOVE);
}

inline Step retrieve(UINT message) {
  Step step;
  step.kind = RETRIEVE;
  step.message = message;
  return step;
}

inline Step windowEvent(StepKind kind, Role role) {
  Step step;
  step.kind = kind;
  step.role = role;
  return step;
}

struct Scenario {
  std::string name;
  std::vector<std::string> ini;  // empty: no configuration in this process
  HookVariables variables;
  LRESULT answer = MA_ACTIVATE;  // the probes' answer to WM_MOUSEACTIVATE
  bool restack = false;          // put other back above main before each step
  bool trackingOn = true;
  bool registerWheel = false;
  std::vector<Step> steps;

  Scenario &xmouse(int mode) {
    variables.xmouse = mode;
    return *this;
  }
  Scenario &middleMoveProtect() {
    variables.middleProtect = 1;
    return *this;
  }
  Scenario &leftMoveProtect() {
    variables.leftProtect = 1;
    return *this;
  }
  Scenario &maskOnMove() {
    variables.maskOnMove = 1;
    return *this;
  }
  Scenario &startWith(int middle, int armed) {
    variables.middle = middle;
    variables.armed = armed;
    return *this;
  }
  Scenario &answering(LRESULT answer_) {
    answer = answer_;
    return *this;
  }
  Scenario &restackingBeforeEachStep() {
    restack = true;
    return *this;
  }
  Scenario &trackingInitially(bool on) {
    trackingOn = on;
    return *this;
  }
  Scenario &withRegisteredWheel() {
    registerWheel = true;
    return *this;
  }
  Scenario &run(std::vector<Step> steps_) {
    steps = steps_;
    return *this;
  }
};

inline Scenario scenario(const char *name, std::vector<std::string> ini) {
  Scenario s;
  s.name = name;
  s.ini = ini;
  return s;
}

inline void PrintTo(const Scenario &s, std::ostream *out) { *out << s.name; }

// ---- the configurations ------------------------------------------------------------

// The middle-button release lists: a client release maximises, a
// non-client release lets the click through (asking the window when
// activation is simulated). No press lists: presses are pre-checked.
inline std::vector<std::string> middleReleaseLists() {
  return {"[List1]", "Hook1=MBUTTONUP",   "Default.Action=ToggleMaximize",
          "[List2]", "Hook1=NCMBUTTONUP", "Default.Action=Through"};
}

inline std::vector<std::string> leftReleaseLists() {
  return {"[List1]", "Hook1=LBUTTONUP", "Hook2=NCLBUTTONUP", "Default.Action=ToggleMaximize"};
}

inline std::vector<std::string> doubleClickLists() {
  return {"[List1]", "Hook1=LBUTTONDBLCLK", "Hook2=NCLBUTTONDBLCLK",
          "Default.Action=ToggleMaximize"};
}

inline std::vector<std::string> rightPressLists() {
  return {"[List1]", "Hook1=RBUTTONDOWN",   "Hook2=LBUTTONUP",        "Default.Action=Through",
          "[List2]", "Hook1=NCRBUTTONDOWN", "Default.Action=NoAction"};
}

// Lists of their own for the middle presses: a client press maximises, a
// non-client press passes; both releases lower and switch, which their
// pre-check would answer by swallowing the press.
inline std::vector<std::string> middlePressLists() {
  return {"[List1]",
          "Hook1=MBUTTONDOWN",
          "Default.Action=ToggleMaximize",
          "[List2]",
          "Hook1=NCMBUTTONDOWN",
          "Default.Action=Default",
          "[List3]",
          "Hook1=MBUTTONUP",
          "Hook2=NCMBUTTONUP",
          "Default.Action=LowerAndSwitch"};
}

// The right button's caption release maximises; its press has no list of
// its own. The second extra button's release maximises too.
inline std::vector<std::string> buttonReleaseLists() {
  return {"[List1]", "Hook1=NCRBUTTONUP", "Hook2=XBUTTON2UP", "Default.Action=ToggleMaximize"};
}

// Lists for the double clicks of the middle and right buttons: both
// maximise; the right release lets the click through.
inline std::vector<std::string> doubleClickEventLists() {
  return {
      "[List1]", "Hook1=MBUTTONDBLCLK", "Hook2=NCRBUTTONDBLCLK", "Default.Action=ToggleMaximize",
      "[List2]", "Hook1=NCRBUTTONUP",   "Default.Action=Default"};
}

// Masking options; key Match of MaskXMOUSE is read only with them on.
inline std::vector<std::string> maskingOptions(bool maskPanes) {
  std::vector<std::string> lines = {"[Options]", "UseXMOUSE=1", "MaskXMOUSEOnMOUSEMOVE=1"};
  if (maskPanes) {
    lines.insert(lines.end(), {"[MaskXMOUSE]", "Match=Panes", "[Match.Panes]", "nPattern=1",
                               "1.Invoked.Class=vornProbePane"});
  }
  return lines;
}

// ---- the scenarios -------------------------------------------------------------------

inline std::vector<Scenario> middleGestureScenarios() {
  const Step press = mouse(WM_MBUTTONDOWN).gives(MA_NOACTIVATEANDEAT).middleAfter(MIDDLE_PRESSED);
  const Step spoiledRelease =
      mouse(WM_MBUTTONUP).gives(MA_NOACTIVATEANDEAT).middleAfter(MIDDLE_IDLE).does("");
  const Step release =
      mouse(WM_MBUTTONUP).gives(MA_NOACTIVATEANDEAT).middleAfter(MIDDLE_IDLE).does("maximize main");
  return {
      scenario("MiddleClickRunsTheReleaseList", middleReleaseLists())
          .xmouse(XMOUSE_SIMULATED)
          .run({press, release, mouse(WM_MBUTTONUP).gives(MA_ACTIVATE).middleAfter(MIDDLE_IDLE)}),
      scenario("ReleaseAreaChoosesTheList", middleReleaseLists())
          .xmouse(XMOUSE_SIMULATED)
          .run({press,
                mouse(WM_NCMBUTTONUP, MAIN)
                    .gives(MA_ACTIVATE)
                    .middleAfter(MIDDLE_IDLE)
                    .does("ask main NCMBUTTONUP ht2 root main"),
                mouse(WM_NCMBUTTONDOWN, MAIN)
                    .gives(MA_ACTIVATE)
                    .middleAfter(MIDDLE_PRESSED)
                    .does("ask main NCMBUTTONDOWN ht2 root main"),
                release}),
      scenario("ReleaseWithoutPressPasses", middleReleaseLists())
          .run({mouse(WM_MBUTTONUP).middleAfter(MIDDLE_IDLE).does(""),
                mouse(WM_NCMBUTTONUP, MAIN).middleAfter(MIDDLE_IDLE).does("")}),
      scenario("WheelSpoils", middleReleaseLists())
          .run({press, mouse(WM_MOUSEWHEEL).middleAfter(MIDDLE_SPOILED).armedAfter(0),
                spoiledRelease, mouse(WM_MBUTTONUP).gives(MA_ACTIVATE).middleAfter(MIDDLE_IDLE)}),
      scenario("ScrollMessagesSpoil", middleReleaseLists())
          .run({press, retrieve(WM_VSCROLL).middleAfter(MIDDLE_SPOILED), spoiledRelease, press,
                retrieve(WM_HSCROLL).middleAfter(MIDDLE_SPOILED), spoiledRelease}),
      scenario("RegisteredWheelMessageSpoils", middleReleaseLists())
          .withRegisteredWheel()
          .run({press, retrieve(WM_NULL).middleAfter(MIDDLE_PRESSED),
                retrieve(REGISTERED_WHEEL).middleAfter(MIDDLE_SPOILED), spoiledRelease}),
      scenario("NullMessageIsNoWheelWhereNoneIsRegistered", middleReleaseLists())
          .run({press, retrieve(WM_NULL).middleAfter(MIDDLE_PRESSED),
                retrieve(WM_PAINT).middleAfter(MIDDLE_PRESSED), release}),
      scenario("OtherButtonsSpoil", middleReleaseLists())
          .run({press,
                mouse(WM_RBUTTONDOWN).middleAfter(MIDDLE_SPOILED),
                spoiledRelease,
                press,
                mouse(WM_RBUTTONUP).middleAfter(MIDDLE_SPOILED),
                spoiledRelease,
                press,
                mouse(WM_LBUTTONDOWN).middleAfter(MIDDLE_SPOILED).armedAfter(1),
                spoiledRelease.armedAfter(0),
                press,
                mouse(WM_LBUTTONDBLCLK).middleAfter(MIDDLE_SPOILED),
                spoiledRelease,
                press,
                mouse(WM_XBUTTONDOWN).middleAfter(MIDDLE_SPOILED),
                spoiledRelease,
                press,
                mouse(WM_MBUTTONDBLCLK).middleAfter(MIDDLE_SPOILED),
                spoiledRelease,
                press,
                mouse(WM_NCRBUTTONUP, MAIN).middleAfter(MIDDLE_SPOILED),
                spoiledRelease}),
      scenario("NewPressRestartsASpoiledGesture", middleReleaseLists())
          .run({press, mouse(WM_MOUSEWHEEL).middleAfter(MIDDLE_SPOILED), press, release}),
      scenario("DragOfExactlyTheDistanceKeepsTheGesture", middleReleaseLists())
          .middleMoveProtect()
          .run({press, move(154, 150).middleAfter(MIDDLE_PRESSED),
                move(154, 154).middleAfter(MIDDLE_PRESSED),
                move(146, 146).middleAfter(MIDDLE_PRESSED), release.at(154, 154)}),
      scenario("DragBeyondTheDistanceSpoils", middleReleaseLists())
          .middleMoveProtect()
          .run({press, move(155, 150).middleAfter(MIDDLE_SPOILED), spoiledRelease, press,
                move(145, 150).middleAfter(MIDDLE_SPOILED), spoiledRelease, press,
                move(150, 155).middleAfter(MIDDLE_SPOILED), spoiledRelease, press,
                mouse(WM_NCMOUSEMOVE, MAIN).at(150, 145).middleAfter(MIDDLE_SPOILED),
                spoiledRelease}),
      scenario("DragIsMeasuredFromThePressNotTheLastMove", middleReleaseLists())
          .middleMoveProtect()
          .run({press, move(154, 150).middleAfter(MIDDLE_PRESSED),
                move(158, 150).middleAfter(MIDDLE_SPOILED), spoiledRelease}),
      scenario("WithoutMoveProtectNoDragSpoils", middleReleaseLists())
          .run({press, move(400, 20).middleAfter(MIDDLE_PRESSED), release}),
      scenario("PressListsOfTheirOwnDecideThePress", middlePressLists())
          .run({mouse(WM_MBUTTONDOWN)
                    .gives(MA_NOACTIVATEANDEAT)
                    .middleAfter(MIDDLE_PRESSED)
                    .does("maximize main"),
                mouse(WM_NCMBUTTONDOWN, MAIN).middleAfter(MIDDLE_PRESSED).does("")}),
  };
}

inline std::vector<Scenario> leftButtonScenarios() {
  const Step press = mouse(WM_LBUTTONDOWN).armedAfter(1).clicksAfter(1);
  const Step armedRelease = mouse(WM_LBUTTONUP)
                                .gives(MA_NOACTIVATEANDEAT)
                                .armedAfter(0)
                                .clicksAfter(1)
                                .does("maximize main");
  const Step unarmedRelease = mouse(WM_LBUTTONUP).armedAfter(0).clicksAfter(1).does("");
  const Step doubleClick =
      mouse(WM_LBUTTONDBLCLK).gives(MA_NOACTIVATEANDEAT).armedAfter(0).does("maximize main");
  return {
      scenario("ReleaseEvaluatesOnlyAfterAPress", leftReleaseLists())
          .leftMoveProtect()
          .run({unarmedRelease, press, armedRelease, unarmedRelease,
                mouse(WM_NCLBUTTONDOWN, MAIN).armedAfter(1),
                mouse(WM_NCLBUTTONUP, MAIN).gives(MA_NOACTIVATEANDEAT).does("maximize main")}),
      scenario("DragBeyondTheDistanceDisarmsTheRelease", leftReleaseLists())
          .leftMoveProtect()
          .run({press, move(154, 146).armedAfter(1), move(150, 155).armedAfter(0), unarmedRelease}),
      scenario("WithoutMoveProtectADragKeepsTheReleaseArmed", leftReleaseLists())
          .run({press, move(500, 500).armedAfter(1), armedRelease}),
      scenario("OtherMessagesDisarmTheRelease", leftReleaseLists())
          .run({press, mouse(WM_LBUTTONDBLCLK).armedAfter(0), unarmedRelease, press,
                mouse(WM_RBUTTONDOWN).armedAfter(0), unarmedRelease, press,
                mouse(WM_MOUSEWHEEL).armedAfter(0), unarmedRelease, press,
                mouse(WM_MBUTTONUP).armedAfter(0), unarmedRelease, press,
                mouse(WM_XBUTTONUP).armedAfter(0), unarmedRelease, press, press, armedRelease}),
      scenario("DoubleClickListAnswersTheFirstDoubleClickOnly", doubleClickLists())
          .run({press, mouse(WM_LBUTTONUP).clicksAfter(1), doubleClick.clicksAfter(2),
                unarmedRelease, doubleClick.clicksAfter(2),
                mouse(WM_LBUTTONDBLCLK).clicksAfter(3).does(""),
                mouse(WM_NCLBUTTONDBLCLK, MAIN).clicksAfter(4).does(""), press,
                mouse(WM_NCLBUTTONDBLCLK, MAIN)
                    .gives(MA_NOACTIVATEANDEAT)
                    .clicksAfter(2)
                    .does("maximize main")}),
      scenario("DoubleClickCounterIgnoresOtherButtons", doubleClickLists())
          .run({press, mouse(WM_RBUTTONDOWN).clicksAfter(1), mouse(WM_RBUTTONUP).clicksAfter(1),
                doubleClick.clicksAfter(2)}),
  };
}

inline std::vector<Scenario> hookCodeScenarios() {
  return {
      scenario("PeekedMessagesChangeNothing", middleReleaseLists())
          .middleMoveProtect()
          .run({peek(WM_MBUTTONDOWN).middleAfter(MIDDLE_IDLE),
                peek(WM_LBUTTONDOWN).armedAfter(0).clicksAfter(0),
                mouse(WM_MBUTTONDOWN).gives(MA_NOACTIVATEANDEAT).middleAfter(MIDDLE_PRESSED),
                peek(WM_MOUSEWHEEL).middleAfter(MIDDLE_PRESSED),
                peek(WM_RBUTTONDOWN).at(400, 400).middleAfter(MIDDLE_PRESSED),
                peek(WM_MBUTTONUP).middleAfter(MIDDLE_PRESSED).does(""),
                move(154, 150).middleAfter(MIDDLE_PRESSED),
                mouse(WM_MBUTTONUP).gives(MA_NOACTIVATEANDEAT).does("maximize main")}),
      scenario("OnlyTheActionCodeOfTheMessageHookSpoils", middleReleaseLists())
          .run({mouse(WM_MBUTTONDOWN).gives(MA_NOACTIVATEANDEAT).middleAfter(MIDDLE_PRESSED),
                retrieve(WM_VSCROLL).withCode(1).middleAfter(MIDDLE_PRESSED),
                retrieve(WM_HSCROLL).withCode(2).middleAfter(MIDDLE_PRESSED),
                mouse(WM_MBUTTONUP).gives(MA_NOACTIVATEANDEAT).does("maximize main")}),
      scenario("NegativeCodesArePassedOn", middleReleaseLists())
          .run({mouse(WM_MBUTTONDOWN).withCode(-1).middleAfter(MIDDLE_IDLE),
                mouse(WM_LBUTTONDOWN).withCode(-1).armedAfter(0),
                mouse(WM_MBUTTONDOWN).gives(MA_NOACTIVATEANDEAT).middleAfter(MIDDLE_PRESSED),
                retrieve(WM_VSCROLL).withCode(-1).middleAfter(MIDDLE_PRESSED)}),
      scenario("WithoutConfigurationEverythingPasses", {})
          .xmouse(XMOUSE_SIMULATED)
          .middleMoveProtect()
          .restackingBeforeEachStep()
          .startWith(MIDDLE_PRESSED, 1)
          .run({mouse(WM_MBUTTONUP).middleAfter(MIDDLE_PRESSED).armedAfter(1).does(""),
                mouse(WM_LBUTTONDOWN).middleAfter(MIDDLE_PRESSED).clicksAfter(0).does(""),
                mouse(WM_LBUTTONDBLCLK).armedAfter(1).clicksAfter(0),
                move(500, 500).middleAfter(MIDDLE_PRESSED),
                retrieve(WM_VSCROLL).middleAfter(MIDDLE_PRESSED)}),
  };
}

inline std::vector<Scenario> simulatedActivationScenarios() {
  const char *askRight = "ask pane RBUTTONDOWN ht1 root main";
  return {
      scenario("LeftAndRightPressesRaiseTheirTarget", rightPressLists())
          .xmouse(XMOUSE_SIMULATED)
          .restackingBeforeEachStep()
          .run({mouse(WM_LBUTTONDOWN).does("raise main"),
                mouse(WM_LBUTTONUP).does("ask pane LBUTTONUP ht1 root main"),
                mouse(WM_NCLBUTTONDOWN, MAIN).does("raise main"),
                mouse(WM_RBUTTONDOWN).does(std::string(askRight) + ", raise main"),
                mouse(WM_NCRBUTTONDOWN, MAIN).gives(MA_NOACTIVATEANDEAT).does(""),
                mouse(WM_MBUTTONDOWN).does(""), mouse(WM_NCMBUTTONDOWN, MAIN).does(""),
                mouse(WM_LBUTTONDBLCLK).does(""), mouse(WM_RBUTTONUP).does("")}),
      scenario("EatenActivationStillRaises", rightPressLists())
          .xmouse(XMOUSE_SIMULATED)
          .answering(MA_ACTIVATEANDEAT)
          .restackingBeforeEachStep()
          .run({mouse(WM_RBUTTONDOWN)
                    .gives(MA_ACTIVATEANDEAT)
                    .does(std::string(askRight) + ", raise main")}),
      scenario("NoActivateAnswerNeitherRaisesNorPassesOn", rightPressLists())
          .xmouse(XMOUSE_SIMULATED)
          .answering(MA_NOACTIVATE)
          .restackingBeforeEachStep()
          .run({mouse(WM_RBUTTONDOWN).gives(MA_NOACTIVATE).does(askRight)}),
      scenario("AnswerZeroDiscards", rightPressLists())
          .xmouse(XMOUSE_SIMULATED)
          .answering(0)
          .restackingBeforeEachStep()
          .run({mouse(WM_RBUTTONDOWN).gives(0).does(askRight),
                mouse(WM_LBUTTONDOWN).armedAfter(1).does("raise main"),
                mouse(WM_LBUTTONUP)
                    .gives(0)
                    .armedAfter(0)
                    .does("ask pane LBUTTONUP ht1 root main")}),
      scenario("AnswerOutsideTheCodesDiscards", rightPressLists())
          .xmouse(XMOUSE_SIMULATED)
          .answering(0x10001)
          .restackingBeforeEachStep()
          .run({mouse(WM_RBUTTONDOWN).gives(0x10001).does(askRight)}),
      scenario("OtherModesNeverRaise", rightPressLists())
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .restackingBeforeEachStep()
          .run({mouse(WM_LBUTTONDOWN).does(""), mouse(WM_RBUTTONDOWN).does("")}),
  };
}

inline std::vector<Scenario> maskingScenarios() {
  const Step activateMain = windowEvent(ACTIVATE, MAIN).changedAfter(1).lastActivatedAfter(MAIN);
  // The first move over the other window after main was activated.
  const Step holdOver =
      move(600, 200, OTHER).gives(MA_NOACTIVATE).holdAfter(1).changedAfter(0).does("");
  return {
      scenario("ForegroundChangeHoldsTrackingOffUntilThePointerArrives", maskingOptions(false))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .maskOnMove()
          .run({activateMain,
                move(600, 200, OTHER)
                    .gives(MA_NOACTIVATE)
                    .holdAfter(1)
                    .changedAfter(0)
                    .does("tracking off"),
                move(610, 200, OTHER).gives(MA_NOACTIVATE).holdAfter(1).does(""),
                mouse(WM_NCMOUSEMOVE, MAIN).holdAfter(0).does("tracking on"),
                move(620, 200, OTHER).holdAfter(0).does("")}),
      scenario("PressesEndTheHoldReleasesOfTheMiddleAndTheWheelDoNot", maskingOptions(false))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .maskOnMove()
          .run({activateMain,
                move(600, 200, OTHER).gives(MA_NOACTIVATE).holdAfter(1).does("tracking off"),
                mouse(WM_MBUTTONUP, OTHER).holdAfter(1), mouse(WM_MOUSEWHEEL, OTHER).holdAfter(1),
                mouse(WM_RBUTTONUP, OTHER).holdAfter(1),
                move(600, 200, OTHER).gives(MA_NOACTIVATE).holdAfter(1),
                mouse(WM_RBUTTONDOWN, OTHER).holdAfter(0),
                move(600, 200, OTHER).holdAfter(0).does("tracking on")}),
      scenario("LeftMessagesAndMiddlePressesEndTheHold", maskingOptions(false))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .maskOnMove()
          .run({activateMain,
                holdOver.does("tracking off"),
                mouse(WM_LBUTTONDOWN, OTHER).holdAfter(0),
                activateMain,
                holdOver,
                mouse(WM_LBUTTONUP, OTHER).holdAfter(0),
                activateMain,
                holdOver,
                mouse(WM_NCLBUTTONUP, OTHER).holdAfter(0),
                activateMain,
                holdOver,
                mouse(WM_LBUTTONDBLCLK, OTHER).holdAfter(0),
                activateMain,
                holdOver,
                mouse(WM_NCLBUTTONDBLCLK, OTHER).holdAfter(0),
                activateMain,
                holdOver,
                mouse(WM_MBUTTONDOWN, OTHER).holdAfter(0),
                activateMain,
                holdOver,
                mouse(WM_NCMBUTTONDOWN, OTHER).holdAfter(0)}),
      scenario("NoHoldWhileThePointerIsOnTheActivatedWindow", maskingOptions(false))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .maskOnMove()
          .run({activateMain, move(150, 150, PANE).holdAfter(0).changedAfter(0).does("")}),
      scenario("NoHoldWhenTheActivatedWindowIsNotSettled", maskingOptions(false))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .maskOnMove()
          .run({activateMain, move(150, 150, PANE).changedAfter(0),
                windowEvent(LOWER, MAIN).changedAfter(1),
                move(600, 200, OTHER).holdAfter(0).changedAfter(0).does("")}),
      scenario("PositionChangeOfTheForegroundWithNothingRecordedHolds", maskingOptions(false))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .maskOnMove()
          .run({windowEvent(POSITION_CHANGED, OTHER).changedAfter(0),
                windowEvent(POSITION_CHANGED, MAIN).changedAfter(1).lastActivatedAfter(NOBODY),
                move(600, 200, OTHER)
                    .gives(MA_NOACTIVATE)
                    .holdAfter(1)
                    .changedAfter(0)
                    .does("tracking off")}),
      scenario("MatchingWindowsBelowTheTopAreMasked", maskingOptions(true))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .maskOnMove()
          .run({move(150, 150, PANE).gives(MA_NOACTIVATE).holdAfter(0).does("tracking off"),
                move(600, 200, OTHER).does("tracking on"), mouse(WM_NCMOUSEMOVE, MAIN).does(""),
                move(150, 150, PANE).gives(MA_NOACTIVATE).does("tracking off"), activateMain,
                move(150, 150, PANE).holdAfter(0).does("tracking on")}),
      scenario("SimulatedModeMasksWithoutSwitchingOff", maskingOptions(true))
          .xmouse(XMOUSE_SIMULATED)
          .maskOnMove()
          .trackingInitially(false)
          .run({move(150, 150, PANE).gives(MA_NOACTIVATE).does(""),
                move(600, 200, OTHER).does("tracking on"),
                move(150, 150, PANE).gives(MA_NOACTIVATE).does("")}),
      scenario("WithoutMaskingMovesLeaveTrackingAndChangesAlone", maskingOptions(true))
          .xmouse(XMOUSE_SYSTEM_TRACKING)
          .trackingInitially(false)
          .run({activateMain, move(150, 150, PANE).changedAfter(1).does(""),
                move(600, 200, OTHER).changedAfter(1).does("")}),
  };
}

inline std::vector<Scenario> buttonGestureScenarios() {
  const Step captionPress = mouse(WM_NCRBUTTONDOWN, MAIN).gives(MA_NOACTIVATEANDEAT).does("");
  const Step captionRelease = mouse(WM_NCRBUTTONUP, MAIN).gives(MA_NOACTIVATEANDEAT);
  const Step passedRelease = mouse(WM_NCRBUTTONUP, MAIN).does("");
  const Step secondPress = mouse(WM_XBUTTONDOWN).ofExtraButton(XBUTTON2);
  return {
      scenario("ReleaseListDecidesTheRightPress", buttonReleaseLists())
          .run({captionPress, captionRelease.does("maximize main"),
                // Neither the client-area press nor its release has a list.
                mouse(WM_RBUTTONDOWN).does(""), mouse(WM_RBUTTONUP).does(""),
                // A release with no press before it runs nothing.
                passedRelease}),
      scenario("SwallowedRightPressSwallowsItsRelease", rightPressLists())
          .run({captionPress, captionRelease.does(""),
                // A press its list lets through leaves its release alone.
                mouse(WM_RBUTTONDOWN).gives(MA_ACTIVATE), mouse(WM_RBUTTONUP).does("")}),
      scenario("SpoiledRightGestureRunsNothing", buttonReleaseLists())
          .middleMoveProtect()
          .run({captionPress, mouse(WM_MOUSEWHEEL), passedRelease, captionPress,
                retrieve(WM_VSCROLL), passedRelease, captionPress, mouse(WM_LBUTTONDOWN),
                passedRelease, captionPress, mouse(WM_MBUTTONUP), passedRelease, captionPress,
                mouse(WM_XBUTTONUP).ofExtraButton(XBUTTON2), passedRelease, captionPress,
                mouse(WM_NCMOUSEMOVE, MAIN).at(157, 110), passedRelease,
                // Within the drag distance the gesture holds.
                captionPress, mouse(WM_NCMOUSEMOVE, MAIN).at(156, 110),
                captionRelease.does("maximize main")}),
      scenario("RightGestureSpoilsTheMiddleOne", middleReleaseLists())
          .run({mouse(WM_MBUTTONDOWN).gives(MA_NOACTIVATEANDEAT),
                mouse(WM_XBUTTONUP).ofExtraButton(XBUTTON1).middleAfter(MIDDLE_SPOILED),
                mouse(WM_MBUTTONUP).gives(MA_NOACTIVATEANDEAT).does("")}),
      scenario("ExtraButtonsAreToldApart", buttonReleaseLists())
          .run({mouse(WM_XBUTTONDOWN).ofExtraButton(XBUTTON1).does(""),
                mouse(WM_XBUTTONUP).ofExtraButton(XBUTTON1).does(""),
                secondPress.gives(MA_NOACTIVATEANDEAT).does(""),
                // The first button's release is no release of the second's
                // press: it spoils it.
                mouse(WM_XBUTTONUP).ofExtraButton(XBUTTON1).does(""),
                mouse(WM_XBUTTONUP).ofExtraButton(XBUTTON2).does(""),
                secondPress.gives(MA_NOACTIVATEANDEAT).does(""),
                mouse(WM_XBUTTONUP)
                    .ofExtraButton(XBUTTON2)
                    .gives(MA_NOACTIVATEANDEAT)
                    .does("maximize main")}),
      scenario("DoubleClicksHaveLists", doubleClickEventLists())
          .run({mouse(WM_MBUTTONDBLCLK).gives(MA_NOACTIVATEANDEAT).does("maximize main"),
                mouse(WM_NCMBUTTONDBLCLK, MAIN).does(""),
                // The second press of a right click: its release goes
                // with it.
                mouse(WM_NCRBUTTONDBLCLK, MAIN).gives(MA_NOACTIVATEANDEAT).does("maximize main"),
                captionRelease.does(""), mouse(WM_RBUTTONDBLCLK).does("")}),
  };
}

inline std::vector<Scenario> allMouseHookScenarios() {
  std::vector<Scenario> all;
  for (auto group :
       {middleGestureScenarios(), leftButtonScenarios(), hookCodeScenarios(),
        simulatedActivationScenarios(), maskingScenarios(), buttonGestureScenarios()}) {
    all.insert(all.end(), group.begin(), group.end());
  }
  return all;
}

inline std::string scenarioName(const ::testing::TestParamInfo<Scenario> &info) {
  return info.param.name;
}

// ---- running a scenario -------------------------------------------------------------------

class MouseScenarioTest : public DispatchFixture, public ::testing::WithParamInterface<Scenario> {
 protected:
  // What the next hook in the chain answers: outside a real hook chain
  // Windows has no next hook and CallNextHookEx gives 0.
  virtual LRESULT nextHookResult() { return 0; }
  // Called before each step, and after it with what the step expected.
  virtual void beforeStep() {}
  virtual void checkNextHookCalls(const Step &step) { (void)step; }

  // The hook's result for a verdict (for steps of other hooks: 1, which
  // stands for passing on).
  LRESULT resultFor(LRESULT verdict) {
    switch (verdict) {
      case MA_ACTIVATE:
        return nextHookResult();
      case MA_NOACTIVATE:
        return 0;
      default:
        return 1;
    }
  }

  // How often a step calls the next hook: a mouse message with verdict 1
  // or 2 once, any other verdict never; every other hook always once.
  static int expectedNextHookCalls(const Step &step) {
    if (step.kind != MOUSE) return 1;
    return step.verdict == MA_ACTIVATE || step.verdict == MA_ACTIVATEANDEAT ? 1 : 0;
  }

  void runScenario() {
    const Scenario &s = GetParam();
    ASSERT_EQ(4, GetSystemMetrics(SM_CXDRAG)) << "the drag scenarios assume a distance of 4";
    ASSERT_EQ(4, GetSystemMetrics(SM_CYDRAG));
    buildDesktop();
    if (!s.ini.empty()) {
      std::string text;
      for (const std::string &line : s.ini) text += line + "\r\n";
      ASSERT_NO_FATAL_FAILURE(loadIniText(text));
    }
    s.variables.apply();
    if (s.registerWheel) wheelMessage = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
    mouseActivateAnswer = s.answer;
    setActiveWindowTracking(s.trackingOn ? TRUE : FALSE);
    ASSERT_EQ(s.trackingOn ? TRUE : FALSE, activeWindowTracking());
    for (size_t i = 0; i < s.steps.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "step " << i + 1 << ": " << describe(s.steps[i]));
      runStep(s.steps[i]);
      if (HasFatalFailure()) return;
    }
  }

 private:
  struct Snapshot {
    std::vector<HWND> order;
    HWND foreground;
    BOOL tracking;
  };

  void buildDesktop() {
    createProbeDesktop(&main, &pane, &other);
    ASSERT_TRUE(makeForeground(main));
    stackFromTop({other, main});
    flushPostedMessages();
  }

  HWND windowOf(Role role) const {
    switch (role) {
      case MAIN:
        return main;
      case PANE:
        return pane;
      case OTHER:
        return other;
      default:
        return NULL;
    }
  }

  std::string roleOf(HWND window) const {
    if (window == NULL) return "none";
    if (window == main) return "main";
    if (window == pane) return "pane";
    if (window == other) return "other";
    return "unknown";
  }

  Snapshot snapshot() {
    return {zOrderOf({main, other}), GetForegroundWindow(), activeWindowTracking()};
  }

  // What the test itself does to the desktop before the hook is called.
  void prepare(const Step &step) {
    if (GetParam().restack) stackFromTop({other, main});
    HWND window = windowOf(step.role);
    if (step.kind == ACTIVATE) {
      // Activating the window that already is the foreground window would
      // not raise it.
      stackFromTop({window});
      ASSERT_TRUE(makeForeground(window));
    }
    if (step.kind == LOWER) {
      SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    flushPostedMessages();
    probeLog.clear();
  }

  LRESULT callHook(const Step &step) {
    HWND window = windowOf(step.role);
    if (step.kind == MOUSE) {
      MOUSEHOOKSTRUCTEX m = hookStruct(window, step.hitTest, step.pt.x, step.pt.y);
      m.mouseData = step.mouseData;
      return mouseHookProc(step.code, step.message, (LPARAM)&m);
    }
    if (step.kind == RETRIEVE) {
      MSG msg = {};
      msg.message = step.message == REGISTERED_WHEEL ? wheelMessage : step.message;
      return msgHookProc(step.code, PM_REMOVE, (LPARAM)&msg);
    }
    return returnFromWindowProcedure(window,
                                     step.kind == ACTIVATE ? WM_ACTIVATE : WM_WINDOWPOSCHANGED,
                                     step.kind == ACTIVATE ? WA_ACTIVE : 0, step.code);
  }

  void runStep(const Step &step) {
    ASSERT_NO_FATAL_FAILURE(prepare(step));
    Snapshot before = snapshot();
    beforeStep();
    LRESULT result = callHook(step);
    flushPostedMessages();
    Snapshot after = snapshot();

    EXPECT_EQ(resultFor(step.verdict), result) << "hook result";
    checkNextHookCalls(step);
    expectState("middleState", step.middle, middleState);
    expectState("lbuttonUpArmed", step.armed, lbuttonUpArmed);
    expectState("clickCount", step.clicks, clickCount);
    expectState("activationHold", step.hold, activationHold);
    expectState("foregroundChanged", step.changed, foregroundChanged);
    if (step.checkLastActivated) {
      EXPECT_EQ(roleOf(windowOf(step.lastActivated)), roleOf(lastActivatedWindow))
          << "lastActivatedWindow";
    }
    EXPECT_EQ(step.effects, effects(before, after)) << "effects";
  }

  static void expectState(const char *name, int expected, int actual) {
    if (expected == ANY) return;
    EXPECT_EQ(expected, actual) << name;
  }

  std::string effects(const Snapshot &before, const Snapshot &after) const {
    std::vector<std::string> found;
    for (const ProbeMessage &logged : probeLog) {
      if (logged.message == WM_MOUSEACTIVATE) {
        found.push_back("ask " + roleOf(logged.window) + " " + messageName(HIWORD(logged.lParam)) +
                        " ht" + std::to_string(LOWORD(logged.lParam)) + " root " +
                        roleOf((HWND)logged.wParam));
      }
    }
    for (const ProbeMessage &logged : probeLog) {
      if (logged.message == WM_SYSCOMMAND) {
        found.push_back(commandName(logged.wParam) + " " + roleOf(logged.window));
      }
    }
    if (after.order != before.order && !after.order.empty()) {
      found.push_back("raise " + roleOf(after.order.front()));
    }
    if (after.foreground != before.foreground)
      found.push_back("foreground " + roleOf(after.foreground));
    if (after.tracking != before.tracking)
      found.push_back(after.tracking ? "tracking on" : "tracking off");
    std::string text;
    for (const std::string &effect : found) text += (text.empty() ? "" : ", ") + effect;
    return text;
  }

  static std::string commandName(WPARAM command) {
    switch (command & 0xFFF0) {
      case SC_MAXIMIZE:
        return "maximize";
      case SC_MINIMIZE:
        return "minimize";
      case SC_RESTORE:
        return "restore";
      default:
        return "syscommand " + std::to_string(command);
    }
  }

  // "NCMBUTTONUP" for WM_NCMBUTTONUP.
  static std::string messageName(UINT message) {
    std::string name = vorntest::messageName(message);
    return name.compare(0, 3, "WM_") == 0 ? name.substr(3) : name;
  }

  std::string describe(const Step &step) const {
    static const char *kinds[] = {"mouse", "retrieve", "activate", "lower", "position changed"};
    std::string text = kinds[step.kind];
    if (step.kind == MOUSE || step.kind == RETRIEVE) {
      text += " " + (step.message == REGISTERED_WHEEL ? std::string("registered wheel")
                                                      : messageName(step.message));
    }
    if (step.kind != RETRIEVE) text += " on " + roleOf(windowOf(step.role));
    if (step.kind == MOUSE) {
      text += " at " + std::to_string(step.pt.x) + "," + std::to_string(step.pt.y) + " ht" +
              std::to_string(step.hitTest);
    }
    if (step.code != HC_ACTION) text += " code " + std::to_string(step.code);
    if (step.mouseData != 0) text += " button " + std::to_string(HIWORD(step.mouseData));
    return text;
  }

  HWND main = NULL, pane = NULL, other = NULL;
};

}  // namespace vorntest
