// Test support for rule evaluation and the mouse dispatcher: a desktop of
// probe windows, a configuration loaded from INI text, the hook library's
// gesture and option variables reset around each test, and a readable
// account of what a hook call did to the desktop.
//
// A probe window answers WM_MOUSEACTIVATE with a value the test chooses and
// records it, and records and swallows WM_SYSCOMMAND, so that an action's
// request is seen without the window changing shape under the test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "config/loader.h"
#include "config/loader_state.h"
#include "hooks/hook_state.h"
#include "unit/desktop_fixture.h"
#include "unit/loader_fixture.h"
#include "vorn.h"

namespace vorntest {

// A message a probe window received.
using ProbeMessage = RecordedMessage;

// The option and gesture variables of the hook library, as a test sets them.
struct HookVariables {
  int32_t xmouse = XMOUSE_OFF;
  int32_t middleProtect = 0;
  int32_t leftProtect = 0;
  int32_t maskOnMove = 0;
  int32_t middle = MIDDLE_IDLE;
  int32_t buttons = GESTURE_IDLE;
  int32_t armed = 0;
  int32_t hold = 0;
  int32_t changed = 0;
  int32_t clicks = 0;
  POINT point = {0, 0};
  UINT wheel = 0;

  static HookVariables current() {
    HookVariables v;
    v.xmouse = xmouseMode;
    v.middleProtect = mbuttonUpMoveProtect;
    v.leftProtect = lbuttonUpMoveProtect;
    v.maskOnMove = maskXmouseOnMove;
    v.middle = middleState;
    v.buttons = buttonGesture;
    v.armed = lbuttonUpArmed;
    v.hold = activationHold;
    v.changed = foregroundChanged;
    v.clicks = clickCount;
    v.point = lastPoint;
    v.wheel = wheelMessage;
    return v;
  }

  void apply() const {
    xmouseMode = xmouse;
    mbuttonUpMoveProtect = middleProtect;
    lbuttonUpMoveProtect = leftProtect;
    maskXmouseOnMove = maskOnMove;
    middleState = middle;
    buttonGesture = buttons;
    lbuttonUpArmed = armed;
    activationHold = hold;
    foregroundChanged = changed;
    clickCount = clicks;
    lastPoint = point;
    wheelMessage = wheel;
  }
};

inline BOOL activeWindowTracking() {
  BOOL on = FALSE;
  SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &on, 0);
  return on;
}

inline void setActiveWindowTracking(BOOL on) {
  SystemParametersInfoA(SPI_SETACTIVEWINDOWTRACKING, 0, (PVOID)(UINT_PTR)on, 0);
}

class DispatchFixture : public DesktopFixture {
 protected:
  static constexpr const char *PROBE_CLASS = "vornProbe";
  static constexpr const char *PANE_CLASS = "vornProbePane";

  void SetUp() override {
    DesktopFixture::SetUp();
    probeFixture() = this;
    savedVariables = HookVariables::current();
    savedTracking = activeWindowTracking();
    HookVariables().apply();
    registerClass(PROBE_CLASS, probeWindowProc);
    registerClass(PANE_CLASS, probeWindowProc);
    removeConfigurationFiles();
  }

  void TearDown() override {
    releaseConfiguration();
    removeConfigurationFiles();
    DesktopFixture::TearDown();  // destroys the probes before their classes go
    UnregisterClassA(PANE_CLASS, instance());
    UnregisterClassA(PROBE_CLASS, instance());
    setActiveWindowTracking(savedTracking);
    savedVariables.apply();
    probeFixture() = nullptr;
  }

  // Loads `lines` (joined with CRLF) as vorn.ini. The loader sets the
  // option variables from the file; tests set them afterwards as they need.
  void loadIni(std::initializer_list<const char *> lines) { loadIniText(crlf(lines)); }

  void loadIniText(const std::string &text) {
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(), text));
    ASSERT_EQ(1, loadConfiguration());
    ASSERT_NE(nullptr, imageHeader);
  }

  ImageReader image() const { return ImageReader{imageHeader, imageSize}; }

  // The list that the image assigns to the event slot at `slot`.
  ImageOffset listIn(uint32_t slot) const { return image().header(slot); }

  HWND createProbe(RECT rect, const char *className = PROBE_CLASS, DWORD style = TOP_LEVEL_STYLE) {
    return createWindow(0, style, rect, NULL, className);
  }

  HWND createProbeChild(HWND parent, RECT rect, const char *className = PANE_CLASS) {
    return createWindow(0, CHILD_STYLE, rect, parent, className);
  }

  // The probe desktop most dispatch tests click on: a main window (class
  // vornProbe) with a pane (vornProbePane) in it, and another top-level
  // window beside it. Callers stack it and choose its foreground window.
  void createProbeDesktop(HWND *main, HWND *pane, HWND *other) {
    *main = createProbe(rectAt(100, 100, 400, 300));
    *pane = createProbeChild(*main, rectAt(10, 10, 200, 100));
    *other = createProbe(rectAt(550, 100, 300, 300));
  }

  // What the system passes a WH_MOUSE hook (mouseData 0: no extra button).
  static MOUSEHOOKSTRUCTEX hookStruct(HWND window, int hitTest, int x = 0, int y = 0) {
    MOUSEHOOKSTRUCTEX m = {};
    m.pt.x = x;
    m.pt.y = y;
    m.hwnd = window;
    m.wHitTestCode = (UINT)hitTest;
    m.dwExtraInfo = 0;
    return m;
  }

  // The mouse hook called as the system calls it for a mouse message at
  // (x, y); the default point lies on the probe desktop's main window.
  static LRESULT callMouseHook(UINT message, HWND window, int hitTest, int x = 150, int y = 150) {
    MOUSEHOOKSTRUCTEX m = hookStruct(window, hitTest, x, y);
    return mouseHookProc(HC_ACTION, message, (LPARAM)&m);
  }

  // The call-window-return hook called as `window`'s procedure returns
  // from `message`.
  static LRESULT returnFromWindowProcedure(HWND window, UINT message, WPARAM wParam = 0,
                                           int code = HC_ACTION) {
    CWPRETSTRUCT call = {};
    call.hwnd = window;
    call.message = message;
    call.wParam = wParam;
    return cwpretHookProc(code, 0, (LPARAM)&call);
  }

  std::vector<ProbeMessage> probeMessages(UINT message) const {
    return probeLog.only(
        [message](const ProbeMessage &logged) { return logged.message == message; });
  }

  // What a probe answers to WM_MOUSEACTIVATE.
  LRESULT mouseActivateAnswer = MA_ACTIVATE;
  MessageLog probeLog;

 private:
  static DispatchFixture *&probeFixture() {
    static DispatchFixture *fixture = nullptr;
    return fixture;
  }

  static LRESULT CALLBACK probeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DispatchFixture *fixture = probeFixture();
    if (fixture != nullptr && (message == WM_MOUSEACTIVATE || message == WM_SYSCOMMAND)) {
      fixture->probeLog.record(window, message, wParam, lParam);
      return message == WM_MOUSEACTIVATE ? fixture->mouseActivateAnswer : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HookVariables savedVariables;
  BOOL savedTracking = FALSE;
};

}  // namespace vorntest
