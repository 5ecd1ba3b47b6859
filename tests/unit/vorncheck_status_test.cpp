// vorncheck --status against daemons played by this process: a control
// window of the daemon's class and title, and a section published by the
// daemon's own compile under the daemon's section name. vorncheck then
// finds the "daemon" as it would find vornd: by its window, through its
// process, its program's folder and the vorn.ini there.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "config/ini_location.h"
#include "config/loader.h"
#include "config/loader_state.h"
#include "daemon_status.h"
#include "support/printed_text.h"
#include "unit/loader_fixture.h"

namespace vorntest {
namespace {

const char *const ONE_LIST =
    "[List1]\r\nHook1=NCMBUTTONUP\r\n1.Match=Caption\r\n1.Action=LowerAndSwitch\r\n"
    "[Match.Caption]\r\nnPattern=1\r\n1.NCHitTest=CAPTION\r\n";
const char *const ONE_LIST_EDITED =
    "[List1]\r\nHook1=NCMBUTTONUP\r\n1.Match=Caption\r\n1.Action=MinimizeOrLower\r\n"
    "[Match.Caption]\r\nnPattern=1\r\n1.NCHitTest=CAPTION\r\n";

LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Both separators as one, so that paths built by different functions compare.
std::string sameSeparators(std::string path) {
  for (char &c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

class VorncheckStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    removeConfigurationFiles();
    ASSERT_EQ(NULL, FindWindowA("vornMainWnd", "vornMainWnd")) << "a vornd runs";
    ASSERT_EQ(NULL, FindWindowA("vornMainWnd64", "vornMainWnd64")) << "a vornd64 runs";
  }

  void TearDown() override {
    for (Daemon &daemon : daemons) {
      if (daemon.window) DestroyWindow(daemon.window);
      if (daemon.registered) UnregisterClassA(daemon.names->windowName, GetModuleHandleA(NULL));
      dropSection(&daemon);
    }
    for (HANDLE holder : holders) CloseHandle(holder);
    releaseConfiguration();
    removeConfigurationFiles();
  }

  struct Daemon {
    const DaemonNames *names;
    bool registered = false;
    HWND window = NULL;
    HANDLE section = NULL;
    unsigned char *view = NULL;
  };

  // Index 0: vornd, 1: vornd64.
  Daemon daemons[2] = {{&DAEMON_PAIR[0]}, {&DAEMON_PAIR[1]}};
  std::vector<HANDLE> holders;  // other processes' hold on a section

  // The control window of daemon `which`: its class and title.
  void openControlWindow(int which) {
    Daemon &daemon = daemons[which];
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = controlWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = daemon.names->windowName;
    ASSERT_NE(0, RegisterClassA(&windowClass));
    daemon.registered = true;
    daemon.window = CreateWindowExA(0, daemon.names->windowName, daemon.names->windowName, WS_POPUP,
                                    0, 0, 0, 0, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, daemon.window);
  }

  // What daemon `which` publishes at its start from the file at `path`: the
  // daemon's compile into its named section. The view is taken out of this
  // process's loader state, so that vorncheck's own compile, which runs in
  // this process too, leaves it alone, as it leaves a real daemon's alone.
  void publish(int which, const std::string &path) {
    Daemon &daemon = daemons[which];
    lstrcpyA(iniPath, path.c_str());
    HANDLE file = openConfigurationFile(path.c_str());
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CompileTarget target = {daemon.names->sectionName, 0};
    ASSERT_EQ(1, compileConfiguration(file, &target));
    daemon.section = mappingHandle;
    daemon.view = imageBase;
    mappingHandle = NULL;
    imageBase = NULL;
    imageHeader = NULL;
    imageSize = 0;
    imageWritable = 0;
  }

  // Another process's read-only hold on daemon `which`'s section, as a
  // program that has the library loaded keeps it.
  void holdSection(int which) {
    HANDLE holder = OpenFileMappingA(FILE_MAP_READ, FALSE, daemons[which].names->sectionName);
    ASSERT_NE((HANDLE)NULL, holder);
    holders.push_back(holder);
  }

  // What the daemon's release does: an empty header, then the view and the
  // handle let go.
  void releaseAsDaemon(int which) {
    Daemon &daemon = daemons[which];
    ASSERT_NE(nullptr, daemon.view);
    memset(daemon.view, 0xFF, IMAGE_HEADER_SIZE);
    dropSection(&daemon);
  }

  void dropSection(Daemon *daemon) {
    if (daemon->view) UnmapViewOfFile(daemon->view);
    if (daemon->section) CloseHandle(daemon->section);
    daemon->view = NULL;
    daemon->section = NULL;
  }

  // Runs --status; its exit code goes to `exitCode`.
  std::string status(int *exitCode) {
    int code = -1;
    std::string text =
        printedText("vorncheck-status.txt", [&](FILE *out) { code = reportStatus(out); });
    *exitCode = code;
    return text;
  }

  // The table row of daemon `which`.
  static std::string row(const std::string &report, int which) {
    std::string start = std::string("\n") + DAEMON_PAIR[which].name + " ";
    size_t at = report.find(start);
    if (at == std::string::npos) return "";
    return report.substr(at + 1, report.find('\n', at + 1) - at - 1);
  }

  static std::string processId() { return std::to_string((unsigned long)GetCurrentProcessId()); }

  static std::string bits() { return std::to_string(sizeof(void *) * 8) + "-bit"; }
};

TEST_F(VorncheckStatusTest, NothingRunning) {
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(1, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" no ")) << report;
  EXPECT_NE(std::string::npos, row(report, 1).find(" no ")) << report;
  EXPECT_EQ(std::string::npos, report.find("covered, by")) << report;
  EXPECT_NE(std::string::npos, report.find("32-bit programs: not covered")) << report;
  EXPECT_EQ(std::string::npos, report.find("still held")) << report;
}

TEST_F(VorncheckStatusTest, RunningWithTheFileAsItIsIsCurrent) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  openControlWindow(0);
  publish(0, programDirectoryIni());
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(0, code) << report;
  std::string first = row(report, 0);
  EXPECT_NE(std::string::npos, first.find(" yes ")) << report;
  EXPECT_NE(std::string::npos, first.find(" " + processId() + " ")) << report;
  EXPECT_NE(std::string::npos, first.find(" " + bits() + " ")) << report;
  EXPECT_NE(std::string::npos, first.find(" current")) << report;
  EXPECT_NE(std::string::npos, row(report, 1).find(" no ")) << report;
  char program[MAX_PATH];
  GetModuleFileNameA(NULL, program, MAX_PATH);
  EXPECT_NE(std::string::npos, sameSeparators(report).find("vornd: process " + processId() + ", " +
                                                           sameSeparators(program)))
      << report;
  EXPECT_NE(std::string::npos,
            sameSeparators(report).find("vornd: loads " + sameSeparators(programDirectoryIni())))
      << report;
  EXPECT_NE(std::string::npos, report.find("vornd: runs what that file compiles to now")) << report;
  EXPECT_NE(std::string::npos,
            report.find(bits() + " programs: covered, by vornd (process " + processId() + ")"))
      << report;
}

TEST_F(VorncheckStatusTest, FileEditedAfterTheLoadIsNotLoadedYet) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  openControlWindow(0);
  publish(0, programDirectoryIni());
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST_EDITED));
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(1, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" edit not loaded")) << report;
  EXPECT_NE(std::string::npos, report.find("edit not loaded yet: start vornd.exe again")) << report;

  // Edited back to what was loaded: current again, whatever the file's date.
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  report = status(&code);
  EXPECT_EQ(0, code) << report;
}

TEST_F(VorncheckStatusTest, SectionHeldStaleAfterTheDaemonEnded) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  publish(0, programDirectoryIni());
  holdSection(0);
  releaseAsDaemon(0);
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(1, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" no ")) << report;
  EXPECT_NE(std::string::npos,
            report.find("vornd: does not run, but its section vornConfigure is still held by "
                        "programs its library was loaded into; it holds no configuration"))
      << report;
}

TEST_F(VorncheckStatusTest, RunningOnAStaleEmptySectionLoadsNothing) {
  // The daemon runs, but its last load failed: the section that others
  // still hold keeps the empty header the release left, and the failure
  // is written into the file.
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  publish(0, programDirectoryIni());
  holdSection(0);
  releaseAsDaemon(0);
  WritePrivateProfileStringA(VORN_STATUS_SECTION, VORN_STATUS_KEY, VORN_STATUS_MAPPING_FAILED,
                             programDirectoryIni().c_str());
  openControlWindow(0);
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(1, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" none loaded")) << report;
  EXPECT_NE(std::string::npos, report.find("vornd: holds no configuration, so every click passes"))
      << report;
  EXPECT_NE(std::string::npos,
            report.find("vornd: the file holds [Status] Error=fail to FileMapping"))
      << report;
}

TEST_F(VorncheckStatusTest, RunningWithoutAnyFile) {
  openControlWindow(0);
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(1, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" no vorn.ini")) << report;
  EXPECT_NE(std::string::npos, report.find("vornd: finds no vorn.ini")) << report;
  EXPECT_NE(std::string::npos, report.find(": every click passes")) << report;
}

// vornd --pause removes the hooks and the image, and marks its window: the
// row says paused, not that a load failed, and nothing counts as covered.
TEST_F(VorncheckStatusTest, PausedDaemonSaysPaused) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  openControlWindow(0);
  ASSERT_TRUE(SetPropA(daemons[0].window, DAEMON_PAUSED_PROPERTY, (HANDLE)1));
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(1, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" yes ")) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" paused")) << report;
  EXPECT_NE(std::string::npos, report.find("vornd: paused (vornd --pause)")) << report;
  EXPECT_NE(std::string::npos, report.find(bits() + " programs: not covered while vornd"))
      << report;
  RemovePropA(daemons[0].window, DAEMON_PAUSED_PROPERTY);
}

TEST_F(VorncheckStatusTest, TheWindowsDirectorysFileComesFirst) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  ASSERT_TRUE(writeFileBytes(windowsDirectoryIni(), ONE_LIST_EDITED));
  openControlWindow(0);
  publish(0, windowsDirectoryIni());
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(0, code) << report;
  EXPECT_NE(std::string::npos,
            sameSeparators(report).find("vornd: loads " + sameSeparators(windowsDirectoryIni())))
      << report;
}

TEST_F(VorncheckStatusTest, The64BitDaemonHasARowOfItsOwn) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  openControlWindow(1);
  publish(1, programDirectoryIni());
  int code = 0;
  std::string report = status(&code);
  EXPECT_EQ(0, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" no ")) << report;
  std::string second = row(report, 1);
  EXPECT_NE(std::string::npos, second.find("vornMainWnd64 yes ")) << report;
  EXPECT_NE(std::string::npos, second.find(" current")) << report;
  EXPECT_NE(std::string::npos, report.find(bits() + " programs: covered, by vornd64")) << report;

  // Both run, one of them on an edit it has not loaded: not all current.
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST_EDITED));
  openControlWindow(0);
  publish(0, programDirectoryIni());
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), ONE_LIST));
  report = status(&code);
  EXPECT_EQ(1, code) << report;
  EXPECT_NE(std::string::npos, row(report, 0).find(" edit not loaded")) << report;
  EXPECT_NE(std::string::npos, row(report, 1).find(" current")) << report;
}

TEST(VorncheckSameImage, EqualWhereBothHaveBytesAndZerosBeyond) {
  const unsigned char image[] = {1, 2, 3, 0, 0, 0};
  const unsigned char shorter[] = {1, 2, 3};
  const unsigned char tail[] = {1, 2, 3, 0, 0, 7};
  const unsigned char other[] = {1, 2, 4};
  EXPECT_TRUE(sameImage(image, sizeof image, shorter, sizeof shorter));
  EXPECT_TRUE(sameImage(shorter, sizeof shorter, image, sizeof image));
  EXPECT_FALSE(sameImage(tail, sizeof tail, shorter, sizeof shorter));
  EXPECT_FALSE(sameImage(shorter, sizeof shorter, tail, sizeof tail));
  EXPECT_FALSE(sameImage(image, sizeof image, other, sizeof other));
}

}  // namespace
}  // namespace vorntest
