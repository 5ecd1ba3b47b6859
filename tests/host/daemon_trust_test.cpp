// vornd trusts no window for its name alone: one instance per user, held
// by a mutex in the user's private namespace before the window is made;
// --stop and reload signal only a window of this same program; the
// foreground goes only to a "PrxTronCls" window of the user's own
// unsandboxed programs; the settings broadcast waits for no hung window.
// Host only: other processes, their program files, users and integrity
// levels, hung threads and the namespaces' rules are winsim's controls
// and models (Wine has no integrity levels, and one Wine prefix one user).
#include "daemon_fixture.h"

#include <string.h>

#include "control_window.h"

namespace vorntest {
namespace {

const DWORD OTHER_PROCESS = 5150;
const char OTHER_USER[] = "S-1-5-21-1111111111-2222222222-3333333333-1002";
int closesLeft = 0;

class DaemonTrustTest : public DaemonFixture {
 protected:
  void SetUp() override {
    DaemonFixture::SetUp();
    // A first instance that runs closes itself once idle.
    closesLeft = 1;
    winsimSetIdleHandler([] {
      HWND own = findControlWindow();
      if (own && closesLeft-- > 0) PostMessageA(own, WM_CLOSE, 0, 0);
    });
  }

  static HWND windowIn(DWORD process, const char *className, const char *title) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    DWORD thread = process ? winsimCreateThreadInProcess(process) : GetCurrentThreadId();
    DWORD previous = winsimSetCurrentThread(thread);
    HWND window = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                  100, NULL, NULL, NULL, NULL);
    winsimSetCurrentThread(previous);
    return window;
  }

  // A window of the control window's name in a process that runs another
  // program file.
  static HWND squattersWindow() {
    winsimSetProcessImagePath(OTHER_PROCESS, "C:\\Users\\me\\Downloads\\tool.exe");
    return windowIn(OTHER_PROCESS, VORN_CONTROL_CLASS, VORN_CONTROL_TITLE);
  }

  static int broadcasts() {
    return winsimCountMessages(HWND_BROADCAST, WM_WININICHANGE, WINSIM_SENT);
  }
};

// The start goes on to become the first instance; here it then fails to
// register its class, which winsim shares among all processes (Windows
// keeps one per process), so only that it signalled nothing is checked.
TEST_F(DaemonTrustTest, AWindowOfAnotherProgramIsNeverSignalled) {
  HWND squatter = squattersWindow();
  ASSERT_NE(nullptr, squatter);
  EXPECT_EQ(0, run({"--stop"}));
  EXPECT_EQ(0, run({}));
  EXPECT_EQ(0, winsimCountMessages(squatter, WM_CLOSE, WINSIM_POSTED));
  EXPECT_EQ(0, winsimCountMessages(squatter, WM_COMMAND, WINSIM_POSTED));
}

TEST_F(DaemonTrustTest, ReloadReachesTheInstanceBehindAWindowOfAnotherProgram) {
  ASSERT_EQ(1, takeInstanceLock());
  HWND running = windowIn(0, VORN_CONTROL_CLASS, VORN_CONTROL_TITLE);
  HWND squatter = squattersWindow();  // made later: found first
  ASSERT_EQ(squatter, FindWindowA(VORN_CONTROL_CLASS, VORN_CONTROL_TITLE));
  EXPECT_EQ(0, run({}));
  EXPECT_EQ(0, run({"--stop"}));
  EXPECT_EQ(1, winsimCountMessages(running, WM_COMMAND, WINSIM_POSTED));
  EXPECT_EQ(1, winsimCountMessages(running, WM_CLOSE, WINSIM_POSTED));
  EXPECT_EQ(0, winsimCountMessages(squatter, WM_COMMAND, -1));
  EXPECT_EQ(0, winsimCountMessages(squatter, WM_CLOSE, -1));
}

// Two starts at the same moment: the first has taken the lock and not yet
// made its window. The second installs nothing and has nothing to signal.
TEST_F(DaemonTrustTest, AStartWhileTheFirstIsStillStartingInstallsNothing) {
  ASSERT_EQ(1, takeInstanceLock());
  EXPECT_EQ(0, run({}));
  EXPECT_EQ(0, winsimIdleExitCount()) << "no message loop ran";
  EXPECT_EQ(0, IsHooking());
  EXPECT_EQ(0, broadcasts());
  EXPECT_EQ(nullptr, FindWindowA(VORN_CONTROL_CLASS, VORN_CONTROL_TITLE));
  releaseInstanceLock();
  EXPECT_EQ(0, run({}));
  EXPECT_EQ(2, broadcasts()) << "once the lock is free a start is the first instance";
}

// A sandboxed (Low-integrity) program of the same user takes the names
// first: the plain mutex name, and a namespace of vorn's name bound to the
// user's SID alone. Neither is the daemon's lock.
TEST_F(DaemonTrustTest, NamesTakenByASandboxedProgramDoNotHoldTheLock) {
  winsimSetProcessIntegrity(OTHER_PROCESS, SECURITY_MANDATORY_LOW_RID);
  DWORD previous = winsimSetCurrentThread(winsimCreateThreadInProcess(OTHER_PROCESS));
  HANDLE plain = CreateMutexA(NULL, FALSE, VORN_CONTROL_CLASS);
  HANDLE token = NULL;
  BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD needed = 0;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof user, &needed));
  CloseHandle(token);
  HANDLE boundary = CreateBoundaryDescriptorA("vorn", 0);
  ASSERT_TRUE(AddSIDToBoundaryDescriptor(&boundary, ((TOKEN_USER *)user)->User.Sid));
  HANDLE space = CreatePrivateNamespaceA(NULL, boundary, "vorn");
  ASSERT_NE(nullptr, space);
  HANDLE squatted = CreateMutexA(NULL, FALSE, "vorn\\" VORN_CONTROL_CLASS);
  ASSERT_NE(nullptr, squatted);
  // Bound to the Medium level too, the daemon's namespace is out of its reach.
  BYTE medium[] = {1, 1, 0, 0, 0, 0, 0, 16, 0x00, 0x20, 0, 0};
  ASSERT_TRUE(AddIntegrityLabelToBoundaryDescriptor(&boundary, medium));
  EXPECT_EQ(nullptr, CreatePrivateNamespaceA(NULL, boundary, "vorn"));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  DeleteBoundaryDescriptor(boundary);
  winsimSetCurrentThread(previous);

  EXPECT_EQ(0, run({}));
  EXPECT_EQ(2, broadcasts()) << "the start became the first instance";
  for (HANDLE handle : {plain, squatted, space}) CloseHandle(handle);
}

TEST_F(DaemonTrustTest, OnlyTheUsersOwnUnsandboxedProgramIsBroughtForward) {
  const struct {
    const char *what;
    const char *user;  // NULL: the daemon's
    DWORD integrity;
    bool forward;
  } cases[] = {
      {"the user's program", NULL, SECURITY_MANDATORY_MEDIUM_RID, true},
      // Its token cannot be read from a daemon that is not elevated.
      {"the user's elevated program", NULL, SECURITY_MANDATORY_HIGH_RID, false},
      {"a sandboxed program", NULL, SECURITY_MANDATORY_LOW_RID, false},
      {"an untrusted program", NULL, SECURITY_MANDATORY_UNTRUSTED_RID, false},
      {"another user's program", OTHER_USER, SECURITY_MANDATORY_MEDIUM_RID, false},
  };
  DWORD process = OTHER_PROCESS;
  for (const auto &entry : cases) {
    SCOPED_TRACE(entry.what);
    winsimResetDesktop();
    winsimClearRecords();
    ++process;
    winsimSetProcessUser(process, entry.user);
    winsimSetProcessIntegrity(process, entry.integrity);
    HWND window = windowIn(process, "PrxTronCls", "any title");
    announce();
    if (entry.forward) {
      ASSERT_EQ(1, winsimForegroundRecordCount());
      EXPECT_EQ(window, winsimForegroundRecord(0));
    } else {
      EXPECT_EQ(0, winsimForegroundRecordCount());
    }
  }
}

TEST_F(DaemonTrustTest, ASandboxedWindowAboveTheUsersOwnDoesNotHideIt) {
  winsimSetProcessIntegrity(OTHER_PROCESS + 1, SECURITY_MANDATORY_LOW_RID);
  HWND own = windowIn(OTHER_PROCESS, "PrxTronCls", "");
  windowIn(OTHER_PROCESS + 1, "PrxTronCls", "");
  winsimClearRecords();
  announce();
  ASSERT_EQ(1, winsimForegroundRecordCount());
  EXPECT_EQ(own, winsimForegroundRecord(0));
}

TEST_F(DaemonTrustTest, TheSettingsBroadcastWaitsForNoHungWindow) {
  DWORD hungThread = winsimCreateThreadInProcess(OTHER_PROCESS);
  DWORD previous = winsimSetCurrentThread(hungThread);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "HungWindow";
  RegisterClassA(&windowClass);
  CreateWindowExA(0, "HungWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
  winsimSetCurrentThread(previous);
  winsimHangThread(hungThread, TRUE);
  static int answered;
  answered = 0;
  windowClass.lpszClassName = "AnsweringWindow";
  windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WININICHANGE) ++answered;
    return DefWindowProcA(window, message, wParam, lParam);
  };
  RegisterClassA(&windowClass);
  CreateWindowExA(0, "AnsweringWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, NULL, NULL, NULL,
                  NULL);
  winsimClearRecords();
  announce();
  EXPECT_EQ(0, winsimHungWaitCount()) << "the daemon would wait for the hung window for ever";
  EXPECT_EQ(1, broadcasts());
  EXPECT_EQ(1, answered) << "a window that answers is still told";
}

}  // namespace
}  // namespace vorntest
