// Where a click is decided when both pairs run on 64-bit Windows, in both
// orders of installation, and when one pair runs alone. The system keeps
// one chain per hook type, newest first; where it cannot load a hook's
// library into the program that receives the click (the other bitness, a
// Store app) it runs the mouse hook in the daemon that installed it, and
// the chain goes on from there. A click decided in a daemon cannot
// activate anything: Windows refuses SetForegroundWindow to a process that
// is not in front and did not receive the input. So every click must be
// decided, once, in the program that received it.
//
// Host only: winsim models the chains across bitness, Store apps and the
// foreground lock from Microsoft's documentation. Wine shows none of it (it
// ends a chain at a library a program cannot load, and has no lock).
//
// The library under test plays one pair; the other pair is a stand-in
// that counts where the system ran its hooks and passes every call on.
// Which of the two is the 32-bit pair only decides which processes share
// the test program's bitness in winsim: the library itself depends on
// neither.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "hooks/hook_state.h"
#include "support/caller_trace.h"
#include "unit/loader_fixture.h"
#include "vorn.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

const DWORD OUR_DAEMON = 0x910;
const DWORD OTHER_DAEMON = 0x920;
const DWORD OUR_PROGRAM = 0x930;
const DWORD OTHER_PROGRAM = 0x940;
const DWORD STORE_APP = 0x950;

// Where the system ran the other pair's hooks, by process.
std::map<DWORD, int> otherPairMouseCalls;
std::map<DWORD, int> otherPairGetMessageCalls;

LRESULT CALLBACK otherPairMouseHook(int code, WPARAM wParam, LPARAM lParam) {
  ++otherPairMouseCalls[GetCurrentProcessId()];
  return CallNextHookEx(NULL, code, wParam, lParam);
}

LRESULT CALLBACK otherPairGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && ((const MSG *)lParam)->message != WM_NULL) {
    ++otherPairGetMessageCalls[GetCurrentProcessId()];
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}

// A left press on a Probe window lowers it and activates the next one; a
// middle click on its caption toggles maximise.
const char CONFIGURATION[] =
    "[List1]\nHook1=LBUTTONDOWN\n1.Match=Probe\n1.Action=LowerAndSwitch\n"
    "[List2]\nHook1=NCMBUTTONUP\n1.Match=Probe\n1.Action=ToggleMaximize\n"
    "[Match.Probe]\nnPattern=1\n1.Parent.Class=Probe\n";

enum Installed { OURS_ALONE, OURS_FIRST, OURS_LAST };

class HookChainTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    winsimResetDesktop();
    winsimResetKernel();
    otherPairMouseCalls.clear();
    otherPairGetMessageCalls.clear();
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(), CONFIGURATION));
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "Probe";
    RegisterClassA(&windowClass);
    for (DWORD process : {OUR_DAEMON, OTHER_DAEMON, OUR_PROGRAM, OTHER_PROGRAM, STORE_APP}) {
      threads[process] = winsimCreateThreadInProcess(process);
    }
  }

  void TearDown() override {
    if (threads.count(OUR_DAEMON)) {
      DWORD previous = winsimSetCurrentThread(threads[OUR_DAEMON]);
      MyEndHook();
      winsimSetCurrentThread(previous);
    }
    hooksInstalledHere = 0;
    winsimResetDesktop();
    winsimResetKernel();
    LoaderTest::TearDown();
  }

  // Windows of 64-bit Windows: the processes of the pair that is not the
  // test program's bitness are marked so.
  void setBitness(bool ourPairIs64) {
    winsimSetWindowsBitness(WINSIM_WINDOWS_64);
    for (DWORD process : {OUR_DAEMON, OUR_PROGRAM, STORE_APP}) {
      winsimSetProcessOfOtherBitness(process, ourPairIs64);
    }
    for (DWORD process : {OTHER_DAEMON, OTHER_PROGRAM}) {
      winsimSetProcessOfOtherBitness(process, !ourPairIs64);
    }
  }

  void installOurs() {
    DWORD previous = winsimSetCurrentThread(threads[OUR_DAEMON]);
    ASSERT_EQ(1, MySetHook());
    winsimSetCurrentThread(previous);
  }

  void installOthers() {
    DWORD previous = winsimSetCurrentThread(threads[OTHER_DAEMON]);
    ASSERT_TRUE(SetWindowsHookExA(WH_MOUSE, otherPairMouseHook, NULL, 0));
    ASSERT_TRUE(SetWindowsHookExA(WH_GETMESSAGE, otherPairGetMessageHook, NULL, 0));
    winsimSetCurrentThread(previous);
  }

  void install(Installed installed) {
    if (installed == OURS_LAST) installOthers();
    installOurs();
    if (installed == OURS_FIRST) installOthers();
  }

  // Two Probe windows of `process`, the first in front and active.
  void openWindows(DWORD process) {
    DWORD previous = winsimSetCurrentThread(threads[process]);
    back = makeProbe(160);
    front = makeProbe(100);
    winsimSetLastInputProcess(process);
    ASSERT_TRUE(SetForegroundWindow(front));
    winsimRunThread(threads[process]);
    winsimSetCurrentThread(previous);
    ASSERT_EQ(front, GetForegroundWindow());
    winsimClearRecords();
    openProcessCallsBefore = winsimOpenProcessCallCount();
  }

  int openProcessCalls() { return winsimOpenProcessCallCount() - openProcessCallsBefore; }

  static HWND makeProbe(int at) {
    return CreateWindowExA(0, "Probe", "probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, at, at, 300, 200,
                           NULL, NULL, NULL, NULL);
  }

  // A message as the user's input brings it to `window`, then the window's
  // thread carries out what was asked of it. 1 when the window got it.
  int input(UINT message, HWND window, int hitTest) {
    RECT rect;
    GetWindowRect(window, &rect);
    POINT point = {rect.left + 50, hitTest == HTCAPTION ? rect.top + 8 : rect.top + 80};
    int received = winsimMouseInput(message, point, window, hitTest);
    DWORD process = 0;
    winsimRunThread(GetWindowThreadProcessId(window, &process));
    return received;
  }

  int posted(UINT command) {
    int count = 0;
    for (int i = 0; i < winsimMessageRecordCount(); ++i) {
      const WinsimMessageRecord *r = winsimMessageRecord(i);
      if (r->message == WM_SYSCOMMAND && r->wParam == command) ++count;
    }
    return count;
  }

  void expectLeftAlone(CALLER_PARAMETERS) {
    TRACE_CALLER();
    EXPECT_EQ(0, winsimGetClassNameCallCount()) << "no rule walked";
    EXPECT_EQ(0, winsimWindowPosRecordCount()) << "nothing moved";
    EXPECT_EQ(0, winsimForegroundRecordCount()) << "nothing activated";
    EXPECT_EQ(0, openProcessCalls()) << "no process opened";
    EXPECT_EQ(front, GetForegroundWindow());
  }

  std::map<DWORD, DWORD> threads;
  HWND front = NULL;
  HWND back = NULL;
  int openProcessCallsBefore = 0;
};

struct ChainCase {
  const char *name;
  bool ourPairIs64;
  Installed installed;
};

const ChainCase CHAIN_CASES[] = {
    {"vorn_dll_hooked_first", false, OURS_FIRST},
    {"vorn_dll_hooked_last", false, OURS_LAST},
    {"vorn64_dll_hooked_first", true, OURS_FIRST},
    {"vorn64_dll_hooked_last", true, OURS_LAST},
};

class HookChainPairs : public HookChainTest, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(HookChainPairs, AClickOnAProgramOfOurBitnessActivatesTheNextWindowFromThatProgram) {
  setBitness(GetParam().ourPairIs64);
  install(GetParam().installed);
  openWindows(OUR_PROGRAM);
  EXPECT_EQ(0, input(WM_LBUTTONDOWN, front, HTCLIENT)) << "the press is swallowed";
  EXPECT_EQ(back, GetForegroundWindow()) << "the next window is in front";
  EXPECT_EQ(0, winsimWindowFlashCount(back)) << "no activation was refused";
  EXPECT_EQ(0, openProcessCalls());
  // Newest first: the other pair's hook runs before ours only when it came
  // last, and then in its own daemon.
  int expectedOtherCalls = GetParam().installed == OURS_FIRST ? 1 : 0;
  EXPECT_EQ(expectedOtherCalls, otherPairMouseCalls[OTHER_DAEMON]);
  EXPECT_EQ(0, otherPairGetMessageCalls[OUR_PROGRAM]) << "not loaded into the other bitness";
}

TEST_P(HookChainPairs, AMiddleClickOnOurProgramsCaptionActsOnceAndReachesTheWindowNeither) {
  setBitness(GetParam().ourPairIs64);
  install(GetParam().installed);
  openWindows(OUR_PROGRAM);
  EXPECT_EQ(0, input(WM_NCMBUTTONDOWN, front, HTCAPTION));
  EXPECT_EQ(0, posted(SC_MAXIMIZE)) << "the press only waits for its release";
  EXPECT_EQ(0, input(WM_NCMBUTTONUP, front, HTCAPTION));
  EXPECT_EQ(1, posted(SC_MAXIMIZE)) << "one action for one click";
  EXPECT_EQ(0, middleState);
}

TEST_P(HookChainPairs, AClickOnAProgramOfTheOtherBitnessIsLeftToTheOtherPairWithoutCost) {
  setBitness(GetParam().ourPairIs64);
  install(GetParam().installed);
  openWindows(OTHER_PROGRAM);
  EXPECT_EQ(1, input(WM_LBUTTONDOWN, front, HTCLIENT)) << "passed on to the window";
  expectLeftAlone();
  EXPECT_EQ(1, input(WM_MOUSEMOVE, front, HTCLIENT));
  expectLeftAlone();
  // The other pair saw each message once: in the program, or in its daemon
  // when our hook came first and the chain went on from ours.
  DWORD otherRanIn = GetParam().installed == OURS_LAST ? OTHER_DAEMON : OTHER_PROGRAM;
  EXPECT_EQ(2, otherPairMouseCalls[otherRanIn]);
  EXPECT_EQ(2, otherPairGetMessageCalls[OTHER_PROGRAM]);
}

std::string chainCaseName(const ::testing::TestParamInfo<ChainCase> &tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(HookChain, HookChainPairs, ::testing::ValuesIn(CHAIN_CASES),
                         chainCaseName);

class HookChainAlone : public HookChainTest {};

TEST_F(HookChainAlone, OnThirtyTwoBitWindowsEveryClickIsDecidedOnceInItsProgram) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_32);
  install(OURS_ALONE);
  openWindows(OUR_PROGRAM);
  EXPECT_EQ(0, input(WM_NCMBUTTONDOWN, front, HTCAPTION));
  EXPECT_EQ(0, input(WM_NCMBUTTONUP, front, HTCAPTION));
  EXPECT_EQ(1, posted(SC_MAXIMIZE));
  EXPECT_EQ(0, input(WM_LBUTTONDOWN, front, HTCLIENT));
  EXPECT_EQ(back, GetForegroundWindow());
  EXPECT_EQ(0, marshalledCallCount);
}

TEST_F(HookChainAlone, AMouseMessageAProgramPostsItselfIsNoClick) {
  // Only input the system ran the mouse hook for is decided: a program
  // that posts itself a press is not clicked on.
  setBitness(false);
  install(OURS_FIRST);  // ours is older: the get-message hook decides
  openWindows(OUR_PROGRAM);
  DWORD previous = winsimSetCurrentThread(threads[OUR_PROGRAM]);
  PostMessageA(front, WM_LBUTTONDOWN, 0, MAKELPARAM(50, 80));
  winsimRunThread(threads[OUR_PROGRAM]);
  winsimSetCurrentThread(previous);
  EXPECT_EQ(front, GetForegroundWindow());
  EXPECT_EQ(0, winsimWindowPosRecordCount());
}

TEST_F(HookChainAlone, AStoreAppsContentIsLeftAloneAndItsFrameIsHandled) {
  // No global hook library loads into a Store app: its mouse hook runs in
  // the daemon, which passes it on; no get-message hook of ours runs there.
  // Its frame (ApplicationFrameWindow) belongs to ApplicationFrameHost.exe,
  // a program like any other, where the library runs.
  setBitness(true);
  winsimSetStoreAppProcess(STORE_APP, TRUE);
  install(OURS_ALONE);
  openWindows(STORE_APP);
  EXPECT_EQ(1, input(WM_LBUTTONDOWN, front, HTCLIENT)) << "the content gets its click";
  expectLeftAlone();
  EXPECT_EQ(1, marshalledCallCount);
  openWindows(OUR_PROGRAM);
  EXPECT_EQ(0, input(WM_LBUTTONDOWN, front, HTCLIENT));
  EXPECT_EQ(back, GetForegroundWindow());
}

// The foreground lock as winsim models it: a daemon answering a marshalled
// hook call is neither in front nor the receiver of the input.
class HookChainForegroundLock : public HookChainTest {};

TEST_F(HookChainForegroundLock, OnlyTheForegroundProcessOrTheInputsReceiverMayActivate) {
  openWindows(OUR_PROGRAM);
  DWORD previous = winsimSetCurrentThread(threads[OUR_DAEMON]);
  EXPECT_FALSE(SetForegroundWindow(back)) << "a daemon in the background";
  EXPECT_EQ(1, winsimWindowFlashCount(back)) << "flashed instead";
  EXPECT_EQ(front, GetForegroundWindow());
  winsimSetLastInputProcess(OUR_DAEMON);
  EXPECT_TRUE(SetForegroundWindow(back)) << "the process that received the last input";
  winsimSetLastInputProcess(OUR_PROGRAM);
  winsimSetCurrentThread(threads[OUR_PROGRAM]);
  EXPECT_TRUE(SetForegroundWindow(front)) << "the foreground process";
  winsimSetCurrentThread(previous);
}

TEST_F(HookChainForegroundLock, AZeroTimeOutOrNoForegroundWindowLiftsTheLock) {
  openWindows(OUR_PROGRAM);
  DWORD previous = winsimSetCurrentThread(threads[OUR_DAEMON]);
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, (PVOID)0, 0));
  EXPECT_TRUE(SetForegroundWindow(back));
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, (PVOID)200000, 0));
  HWND hidden = CreateWindowExA(0, "Probe", "hidden", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, NULL,
                                NULL, NULL, NULL);
  winsimSetCurrentThread(threads[OUR_PROGRAM]);
  DestroyWindow(back);
  DestroyWindow(front);
  winsimSetCurrentThread(threads[OUR_DAEMON]);
  ASSERT_EQ(NULL, GetForegroundWindow());
  EXPECT_TRUE(SetForegroundWindow(hidden)) << "nothing in front";
  winsimSetCurrentThread(previous);
}

}  // namespace
}  // namespace vorntest
