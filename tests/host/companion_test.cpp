// vornd and its 64-bit companion: on 64-bit Windows the 32-bit daemon
// starts vornd64.exe from its own folder with its own arguments. Host only:
// the Windows bitness, the command line and what CreateProcessA was asked
// are winsim's controls and records (a 64-bit test program under Wine is
// never a WOW64 process, so there the companion is never started).
#include "daemon_fixture.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "companion.h"
#include "control_window.h"
#include "vorn_names.h"

namespace vorntest {
namespace {

HWND runningWindow = NULL;

class CompanionTest : public DaemonFixture {
 protected:
  void SetUp() override {
    DaemonFixture::SetUp();
    runningWindow = NULL;
  }

  void TearDown() override {
    DeleteFileA(companionFile().c_str());
    DaemonFixture::TearDown();
  }

  // vornd64.exe in this program's folder, as GetModuleFileNameA names it.
  static std::string companionFile() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string file(path, length);
    return file.substr(0, file.find_last_of("\\/") + 1) + VORN_COMPANION_FILE;
  }

  static void placeCompanion() { ASSERT_TRUE(writeFileBytes(companionFile(), "MZ")); }

  // Runs vornd with `commandLine` as the system gives it and `arguments`
  // as the C runtime splits it.
  static int run(const char *commandLine, std::vector<const char *> arguments) {
    winsimSetCommandLine(commandLine);
    arguments.insert(arguments.begin(), "vornd.exe");
    return vorndMain(GetModuleHandleA(NULL), (int)arguments.size(),
                     const_cast<char **>(arguments.data()));
  }

  // A running daemon's window: the 32-bit one's is this program's, which
  // then holds the instance lock; the companion's is made in a process of
  // its own that runs vornd64.exe.
  static HWND windowOfClass(const char *className) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    bool companion = strcmp(className, VORN_COMPANION_CONTROL_CLASS) == 0;
    if (!companion) takeInstanceLock();
    DWORD thread = companion ? winsimCreateThreadInProcess(COMPANION_PROCESS) : 0;
    if (companion) winsimSetProcessImagePath(COMPANION_PROCESS, companionFile().c_str());
    DWORD previous = companion ? winsimSetCurrentThread(thread) : 0;
    HWND window =
        CreateWindowExA(0, className, className, WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    if (companion) winsimSetCurrentThread(previous);
    return window;
  }

  static const DWORD COMPANION_PROCESS = 4242;

  static std::string startedLine(int index) {
    const WinsimProcessRecord *record = winsimProcessRecord(index);
    return record ? record->commandLine : "(no record)";
  }
};

TEST_F(CompanionTest, EachCommandStartsTheCompanionWithTheSameArguments) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  placeCompanion();
  HWND running = windowOfClass(VORN_CONTROL_CLASS);  // the 32-bit daemon runs
  ASSERT_NE(nullptr, running);
  std::string quoted = "\"" + companionFile() + "\"";
  int handles = winsimOpenHandleCount();

  EXPECT_EQ(0, run("vornd.exe", {}));
  EXPECT_EQ(0, run("\"C:\\Program Files\\vorn\\vornd.exe\" --stop", {"--stop"}));
  EXPECT_EQ(0, run("vornd  odd \"two words\"\t\"\" x\\\"y ", {"odd", "two words", "", "x\"y"}));
  EXPECT_EQ(0, run("\"C:\\a b\\vornd.exe\"--stop extra", {"--stop", "extra"}));
  EXPECT_EQ(0, run("\"C:\\unclosed quote", {}));

  ASSERT_EQ(5, winsimProcessRecordCount());
  EXPECT_EQ(quoted, startedLine(0));
  EXPECT_EQ(quoted + " --stop", startedLine(1));
  EXPECT_EQ(quoted + "  odd \"two words\"\t\"\" x\\\"y ", startedLine(2));
  EXPECT_EQ(quoted + "--stop extra", startedLine(3));
  EXPECT_EQ(quoted, startedLine(4));
  for (int i = 0; i < 5; ++i) {
    const WinsimProcessRecord *record = winsimProcessRecord(i);
    EXPECT_STREQ(companionFile().c_str(), record->application) << i;
    EXPECT_TRUE(record->started) << i;
    EXPECT_FALSE(record->inheritHandles) << i;
  }
  EXPECT_EQ(handles, winsimOpenHandleCount()) << "process and thread handles are closed";
  // The 32-bit daemon is told as before: reload, stop, reload, reload, reload.
  EXPECT_EQ(4, winsimCountMessages(running, WM_COMMAND, WINSIM_POSTED));
  EXPECT_EQ(1, winsimCountMessages(running, WM_CLOSE, WINSIM_POSTED));
}

TEST_F(CompanionTest, OnlyAStartThatSignalsARunningCompanionIsWaitedForAndNotForEver) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  placeCompanion();
  windowOfClass(VORN_CONTROL_CLASS);
  EXPECT_EQ(0, run("vornd.exe", {}));
  ASSERT_EQ(1, winsimProcessRecordCount());
  EXPECT_EQ(0, winsimProcessRecord(0)->waits) << "it becomes the companion's first instance";

  windowOfClass(VORN_COMPANION_CONTROL_CLASS);
  winsimSetStartedProcessesStay(TRUE);  // a companion that does not end
  EXPECT_EQ(0, run("vornd.exe --stop", {"--stop"}));
  ASSERT_EQ(2, winsimProcessRecordCount());
  EXPECT_EQ(1, winsimProcessRecord(1)->waits);
  EXPECT_EQ((DWORD)COMPANION_WAIT_MS, winsimProcessRecord(1)->lastWaitMs);
  EXPECT_NE(INFINITE, winsimProcessRecord(1)->lastWaitMs);
}

TEST_F(CompanionTest, NothingIsStartedOn32BitWindowsOldSystemsOrWithoutTheFile) {
  windowOfClass(VORN_CONTROL_CLASS);
  placeCompanion();
  winsimSetWindowsBitness(WINSIM_WINDOWS_32);
  EXPECT_EQ(0, run("vornd.exe", {}));
  winsimSetWindowsBitness(WINSIM_WINDOWS_WITHOUT_WOW64);
  EXPECT_EQ(0, run("vornd.exe --stop", {"--stop"}));
  DeleteFileA(companionFile().c_str());
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  EXPECT_EQ(0, run("vornd.exe", {}));
  EXPECT_EQ(0, startCompanion());
  EXPECT_EQ(0, winsimProcessRecordCount());
  // A folder of that name is no program either.
  ASSERT_TRUE(CreateDirectoryA(companionFile().c_str(), NULL));
  EXPECT_EQ(0, startCompanion());
  RemoveDirectoryA(companionFile().c_str());
  EXPECT_EQ(0, winsimProcessRecordCount());
}

// A folder the ANSI code page cannot spell ("Иван"): GetModuleFileNameA
// names it with '?', which opens nothing; the companion is found and
// started by its short name.
TEST_F(CompanionTest, TheCompanionIsStartedFromAFolderOutsideTheCodePage) {
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  std::string folder = std::string(temporary) + "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD";
  std::string companion = folder + "/" + VORN_COMPANION_FILE;
  ASSERT_EQ(0, mkdir(folder.c_str(), 0777));
  FILE *file = fopen(companion.c_str(), "wb");
  ASSERT_NE(nullptr, file);
  fclose(file);
  winsimSetProgramPath((folder + "/vornd.exe").c_str());
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  winsimSetCommandLine("vornd.exe --stop");
  EXPECT_EQ(1, startCompanion());
  unlink(companion.c_str());
  rmdir(folder.c_str());
  ASSERT_EQ(1, winsimProcessRecordCount());
  std::string application = winsimProcessRecord(0)->application;
  EXPECT_TRUE(winsimProcessRecord(0)->started) << application;
  EXPECT_EQ(std::string::npos, application.find('?')) << application;
  EXPECT_EQ("\"" + application + "\" --stop", startedLine(0));
}

TEST_F(CompanionTest, AFirstStartStartsTheCompanionAndStillRunsItsOwnHooks) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  placeCompanion();
  static int hookingInLoop;
  hookingInLoop = -1;
  winsimSetIdleHandler([] {
    HWND window = findControlWindow();
    if (!window) return;
    hookingInLoop = IsHooking();
    PostMessageA(window, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(0, run("vornd.exe", {}));
  EXPECT_EQ(1, hookingInLoop);
  ASSERT_EQ(1, winsimProcessRecordCount());
  EXPECT_EQ("\"" + companionFile() + "\"", startedLine(0));
}

TEST_F(CompanionTest, ACommandLineThatDoesNotFitStartsNothing) {
  char buffer[18];  // exactly what the first needs
  EXPECT_EQ(1, companionCommandLine("vornd --stop", "C:\\v.exe", buffer, (int)sizeof buffer));
  EXPECT_STREQ("\"C:\\v.exe\" --stop", buffer);
  EXPECT_EQ(0, companionCommandLine("vornd --stop", "C:\\vo.exe", buffer, (int)sizeof buffer));
  EXPECT_EQ(
      0, companionCommandLine("vornd", "C:\\a-much-longer-path.exe", buffer, (int)sizeof buffer));
}

}  // namespace
}  // namespace vorntest
