// vorncheck.exe --status, as shipped, against the staged vornd.exe: not
// running, running and current, the file edited after the load and then
// reloaded, and the section still held by this program after the daemon
// ended. Also --version and --help.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "configuration_files.h"
#include "program_run.h"
#include "scenario.h"
#include "test_windows.h"
#include "vorn_version.h"

namespace e2e {
namespace {

const DWORD VORNCHECK_TIMEOUT_MS = 20000;

// The edit must stay unloaded until the second start: the daemon does not
// watch these files.
const char *const CAPTION_LOWERS =
    "[Options]\nReloadOnChange=0\n[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=LowerAndSwitch\n"
    "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n";
const char *const CAPTION_MINIMIZES =
    "[Options]\nReloadOnChange=0\n[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption\n1.Action=MinimizeOrLower\n"
    "[Match.Caption]\nnPattern=1\n1.NCHitTest=CAPTION\n";

// The names the running daemon goes by, from its control window's class:
// the table's row, its program and its section.
struct RunningPair {
  std::string row;
  std::string program;
  std::string section;
};

RunningPair runningPair() {
  char className[32] = "";
  GetClassNameA(findControlWindow(), className, sizeof className);
  if (lstrcmpA(className, "vornMainWnd64") == 0) {
    return {"vornd64", "vornd64.exe", "vornConfigure64"};
  }
  return {"vornd", "vornd.exe", "vornConfigure"};
}

class VorncheckStatus : public Scenario {
 protected:
  void TearDown() override {
    if (held) CloseHandle(held);
    Scenario::TearDown();
  }

  ProgramRun vorncheck(const char *arguments) {
    ProgramRun run = runProgram(stageDirectory, "vorncheck.exe", arguments, VORNCHECK_TIMEOUT_MS);
    EXPECT_TRUE(run.ended) << "vorncheck " << arguments << " did not end";
    EXPECT_EQ("", run.errors);
    return run;
  }

  static bool says(const ProgramRun &run, const std::string &words) {
    return run.output.find(words) != std::string::npos;
  }

  HANDLE held = NULL;
};

TEST_F(VorncheckStatus, NothingRuns) {
  ProgramRun run = vorncheck("--status");
  EXPECT_EQ(1u, run.exitCode) << run.output;
  EXPECT_TRUE(says(run, "\nvornd    vornMainWnd   no ")) << run.output;
  EXPECT_TRUE(says(run, "\nvornd64  vornMainWnd64 no ")) << run.output;
  EXPECT_FALSE(says(run, "covered, by")) << run.output;
}

TEST_F(VorncheckStatus, RunningCurrentThenEditedThenReloaded) {
  ASSERT_TRUE(writeConfiguration(CAPTION_LOWERS));
  ASSERT_TRUE(startDaemon());
  RunningPair pair = runningPair();
  DWORD daemonProcess = GetProcessId(daemon);

  ProgramRun run = vorncheck("--status");
  EXPECT_EQ(0u, run.exitCode) << run.output;
  EXPECT_TRUE(says(run, pair.row + ": process " + std::to_string(daemonProcess) + ", "))
      << run.output;
  EXPECT_TRUE(says(run, "\\" + pair.program + "\n")) << run.output;
  EXPECT_TRUE(says(run, pair.row + ": loads ")) << run.output;
  EXPECT_TRUE(says(run, "\\vorn.ini\n")) << run.output;
  EXPECT_TRUE(says(run, pair.row + ": runs what that file compiles to now")) << run.output;
  // The daemon is of this program's build.
  EXPECT_TRUE(
      says(run, std::to_string(sizeof(void *) * 8) + "-bit programs: covered, by " + pair.row))
      << run.output;

  ASSERT_TRUE(writeConfiguration(CAPTION_MINIMIZES));
  run = vorncheck("--status");
  EXPECT_EQ(1u, run.exitCode) << run.output;
  EXPECT_TRUE(says(run, "edit not loaded yet: start " + pair.program + " again")) << run.output;

  int announcements = announcementsHeard();
  ASSERT_TRUE(runDaemonCommand(""));
  ASSERT_TRUE(waitForAnnouncement(announcements)) << "no reload was announced";
  run = vorncheck("--status");
  EXPECT_EQ(0u, run.exitCode) << run.output;
  EXPECT_TRUE(says(run, pair.row + ": runs what that file compiles to now")) << run.output;
}

// A program the library was loaded into keeps the section after the
// daemon ended: vorncheck says so, and that the daemon does not run.
TEST_F(VorncheckStatus, SectionHeldStaleAfterStop) {
  ASSERT_TRUE(writeConfiguration(CAPTION_LOWERS));
  ASSERT_TRUE(startDaemon());
  RunningPair pair = runningPair();
  held = OpenFileMappingA(FILE_MAP_READ, FALSE, pair.section.c_str());
  ASSERT_NE((HANDLE)NULL, held);
  ASSERT_TRUE(stopDaemon());

  ProgramRun run = vorncheck("--status");
  EXPECT_EQ(1u, run.exitCode) << run.output;
  EXPECT_TRUE(says(run, pair.row + ": does not run, but its section " + pair.section +
                            " is still held by programs its library was loaded into; it holds no "
                            "configuration"))
      << run.output;
}

TEST_F(VorncheckStatus, VersionAndHelp) {
  ProgramRun run = vorncheck("--version");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ(std::string("vorncheck ") + VORN_VERSION + " (" + std::to_string(sizeof(void *) * 8) +
                "-bit)\n",
            run.output);
  run = vorncheck("--help");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ(0u, run.output.find("usage: vorncheck")) << run.output;
  EXPECT_TRUE(says(run, "\n  --status ")) << run.output;
  EXPECT_TRUE(says(run, "\nexit codes:\n")) << run.output;
  run = runProgram(stageDirectory, "vorncheck.exe", "--versions", VORNCHECK_TIMEOUT_MS);
  EXPECT_EQ(2u, run.exitCode);
  EXPECT_NE(std::string::npos, run.errors.find("vorncheck: unknown option\n")) << run.errors;
}

}  // namespace
}  // namespace e2e
