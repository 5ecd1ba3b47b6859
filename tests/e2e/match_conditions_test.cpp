// Rules that name the program that receives the click and the keys held
// at it, with real input: the hook that decides runs in this test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "test_windows.h"
#include "window_state.h"

namespace e2e {
namespace {

// Holds or lets go of Ctrl on the X display, as a hand on the keyboard
// would: Wine takes the modifier keys held at a click from the X server's
// own state, so a key injected into Wine alone would not count. xdotool is
// a Unix program, which Wine starts as such.
bool xdotoolKey(const char *action) {
  std::string command = std::string("Z:\\usr\\bin\\xdotool ") + action + " ctrl";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    return false;
  }
  // Wine's handle of a Unix process may be signalled before the program
  // has run: give the X server a moment to see the key.
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  Sleep(300);
  return true;
}

class MatchConditions : public Scenario {
 protected:
  void TearDown() override {
    xdotoolKey("keyup");
    Scenario::TearDown();
  }
};

// Left presses in the client area are swallowed where the match holds.
std::string swallowLeftPressesOf(const char *program) {
  return std::string(
             "[List1]\nHook1=LBUTTONDOWN\nHook2=LBUTTONUP\n1.Match=Program\n"
             "1.Action=NoAction\n[Match.Program]\nnPattern=1\n1.Process=") +
         program + "\n1.NCHitTest=CLIENT\n";
}

TEST_F(MatchConditions, ProcessHoldsForThisProgramAndNoOther) {
  const struct {
    const char *program;
    bool swallowed;
  } cases[] = {
      {"VORN_E2E_TESTS.EXE", true},
      {"vorn_e2e_test?.*", true},
      {"notepad.exe", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.program);
    ASSERT_TRUE(writeConfiguration(swallowLeftPressesOf(c.program).c_str()));
    ASSERT_TRUE(startDaemon());
    HWND window = openWindow("program", 100, 100);
    forgetReceivedMessages();

    ASSERT_TRUE(click(window, HTCLIENT, LEFT_BUTTON));

    if (c.swallowed) {
      EXPECT_EQ("none", buttonMessagesReceived(window)) << receivedTrace();
    } else {
      EXPECT_NE("none", buttonMessagesReceived(window)) << receivedTrace();
    }
    stopDaemon();
    DestroyWindow(window);
  }
}

// Ctrl+middle click on a caption minimises; a plain middle click is left
// to the window.
TEST_F(MatchConditions, KeysCtrlTakesOnlyTheCtrlClick) {
  ASSERT_TRUE(
      writeConfiguration("[List1]\nHook1=NCMBUTTONUP\n1.Match=CtrlCaption\n"
                         "1.Action=Minimize\n[Match.CtrlCaption]\nnPattern=1\n"
                         "1.NCHitTest=CAPTION\n1.Keys=Ctrl\n"));
  ASSERT_TRUE(startDaemon());
  HWND back = openWindow("back", 100, 100);
  HWND front = openWindow("front", 220, 180);
  forgetReceivedMessages();

  ASSERT_TRUE(click(front, HTCAPTION, MIDDLE_BUTTON));
  EXPECT_FALSE(IsIconic(front));
  EXPECT_NE("none", buttonMessagesReceived(front)) << receivedTrace();

  ASSERT_TRUE(xdotoolKey("keydown"));
  ASSERT_TRUE(click(front, HTCAPTION, MIDDLE_BUTTON));
  xdotoolKey("keyup");
  EXPECT_TRUE(pumpUntil([&] { return IsIconic(front) != FALSE; })) << desktop();
  EXPECT_FALSE(IsIconic(back));
}

}  // namespace
}  // namespace e2e
