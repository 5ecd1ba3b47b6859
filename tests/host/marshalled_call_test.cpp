// Mouse hook calls the system marshals into the daemon: where it cannot
// load this library into the program that receives a click, it runs the
// mouse hook in the process that installed it. Such a call is noted and
// passed on untouched, whatever the program's bitness: the program's own
// get-message hook decides a noted message, in the program (a program of
// the other bitness never reads the note; the other pair handles it).
// Host only: winsim's processes of the other bitness make the system
// marshal (under Wine the test program and every window it owns share one
// bitness).
#include "unit/loader_fixture.h"

#include "hooks/hook_state.h"
#include "vorn.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

const DWORD OTHER_PROCESS = 0x940;

LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class MarshalledCallTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    winsimResetDesktop();
    winsimResetKernel();
    // A left press on a probe window is swallowed: the class is read to
    // decide it.
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(),
                               "[List1]\nHook1=LBUTTONDOWN\n1.Match=Probe\n1.Action=NoAction\n"
                               "[Match.Probe]\nnPattern=1\n1.Invoked.Class=Probe\n"));
    ASSERT_EQ(1, MySetHook());
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = countingProcedure;
    windowClass.lpszClassName = "Probe";
    RegisterClassA(&windowClass);
    own = makeWindow();
    DWORD previous = winsimSetCurrentThread(winsimCreateThreadInProcess(OTHER_PROCESS));
    foreign = makeWindow();
    winsimSetCurrentThread(previous);
    winsimClearRecords();
  }

  void TearDown() override {
    winsimSetProcessOfOtherBitness(OTHER_PROCESS, FALSE);
    winsimSetWindowsBitness(WINSIM_WINDOWS_32);
    winsimSetCallNextHookResult(0);
    MyEndHook();
    winsimResetDesktop();
    LoaderTest::TearDown();
  }

  static HWND makeWindow() {
    return CreateWindowExA(0, "Probe", "probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                           200, NULL, NULL, NULL, NULL);
  }

  static int press(HWND window) {
    return winsimMouseInput(WM_LBUTTONDOWN, {200, 200}, window, HTCLIENT);
  }

  HWND own = NULL;
  HWND foreign = NULL;
};

// The hook procedure as the system calls it in this process (the one
// that installed the hooks) for `window`, which another process owns.
static LRESULT pressDeliveredHere(HWND window) {
  MOUSEHOOKSTRUCT info = {{200, 200}, window, HTCLIENT, 0};
  return mouseHookProc(HC_ACTION, WM_LBUTTONDOWN, (LPARAM)&info);
}

TEST_F(MarshalledCallTest, AMarshalledCallIsPassedOnWithoutAWalkOrAnAction) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  winsimSetProcessOfOtherBitness(OTHER_PROCESS, TRUE);
  int before = marshalledCallCount;
  POINT point = lastPoint;
  EXPECT_EQ(1, press(foreign)) << "the window gets the press: the other pair decides";
  EXPECT_EQ(before + 1, marshalledCallCount);
  EXPECT_EQ(1, winsimCallNextHookRecordCount());
  EXPECT_EQ(mouseHook, winsimCallNextHookRecord(0)->hook);
  EXPECT_EQ(0, winsimGetClassNameCallCount()) << "no rule was walked";
  EXPECT_EQ(0, winsimWindowPosRecordCount());
  EXPECT_EQ(0, winsimForegroundRecordCount());
  EXPECT_EQ(point.x, lastPoint.x) << "the gesture is the other pair's";
  EXPECT_EQ(point.y, lastPoint.y);
}

// A press as the get-message hook of `window`'s thread sees it.
static MSG retrieved(HWND window) {
  MSG msg = {window, WM_LBUTTONDOWN, 0, MAKELPARAM(100, 100), 0, {200, 200}};
  return msg;
}

TEST_F(MarshalledCallTest, ACallForAnotherProcessIsPassedOnAndDecidedOnceWhereItIsRetrieved) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  winsimSetCallNextHookResult(7);
  int before = marshalledCallCount;
  EXPECT_EQ(7, pressDeliveredHere(foreign)) << "passed on, the next hook's answer returned";
  EXPECT_EQ(before + 1, marshalledCallCount);
  EXPECT_EQ(0, winsimGetClassNameCallCount()) << "nothing decided in the daemon";
  DWORD daemonThread = winsimSetCurrentThread(GetWindowThreadProcessId(foreign, NULL));
  MSG msg = retrieved(foreign);
  msgHookProc(HC_ACTION, PM_REMOVE, (LPARAM)&msg);
  EXPECT_EQ((UINT)WM_NULL, msg.message) << "swallowed in the program: the rule ran there";
  EXPECT_LT(0, winsimGetClassNameCallCount());
  MSG again = retrieved(foreign);
  msgHookProc(HC_ACTION, PM_REMOVE, (LPARAM)&again);
  EXPECT_EQ((UINT)WM_LBUTTONDOWN, again.message) << "the note is used up: no second decision";
  winsimSetCurrentThread(daemonThread);
  pressDeliveredHere(foreign);
  winsimSetCurrentThread(GetWindowThreadProcessId(foreign, NULL));
  MSG peeked = retrieved(foreign);
  msgHookProc(HC_ACTION, PM_NOREMOVE, (LPARAM)&peeked);
  EXPECT_EQ((UINT)WM_LBUTTONDOWN, peeked.message) << "a peek decides nothing";
  winsimSetCurrentThread(daemonThread);
}

TEST_F(MarshalledCallTest, AProgramOfTheOtherBitnessStaysTheOtherPairsWhicheverWayItsCallCame) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  winsimSetProcessOfOtherBitness(OTHER_PROCESS, TRUE);
  winsimSetCallNextHookResult(7);
  int before = marshalledCallCount;
  EXPECT_EQ(7, pressDeliveredHere(foreign)) << "the next hook's answer, passed on";
  EXPECT_EQ(before + 1, marshalledCallCount);
  EXPECT_EQ(0, winsimGetClassNameCallCount());
  EXPECT_EQ(1, winsimCallNextHookRecordCount());
}

TEST_F(MarshalledCallTest, CallsInTheWindowsOwnProcessAreHandledAsEver) {
  int before = marshalledCallCount;
  EXPECT_EQ(0, press(own)) << "swallowed in the installing process";
  EXPECT_EQ(0, press(foreign)) << "swallowed in the window's own process";
  EXPECT_EQ(before, marshalledCallCount);
  EXPECT_LT(0, winsimGetClassNameCallCount());
  EXPECT_EQ(200, lastPoint.x);
}

TEST_F(MarshalledCallTest, AProcessThatInstalledNoHooksNeverTakesACallForMarshalled) {
  // A window of another process handed to the hook procedure while this
  // process runs it: in a process that did not install the hooks that is
  // no marshalled call (none ever comes there), and the rule applies.
  int32_t installed = hooksInstalledHere;
  hooksInstalledHere = 0;
  int before = marshalledCallCount;
  LRESULT result = pressDeliveredHere(foreign);
  hooksInstalledHere = installed;
  EXPECT_EQ(1, result) << "swallowed";
  EXPECT_EQ(before, marshalledCallCount);
}

}  // namespace
}  // namespace vorntest
