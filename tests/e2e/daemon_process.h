// vornd.exe, run from the staging folder as a child process of the test,
// as a user would start it: no argument, "--stop", or anything else.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The running daemon's control window, or NULL.
HWND findControlWindow();

class DaemonProcesses {
 public:
  explicit DaemonProcesses(std::string stageDirectory);
  ~DaemonProcesses();

  // Starts `vornd.exe <arguments>` and returns at once. The process is
  // kept track of until stopAll().
  bool start(const char *arguments, HANDLE *process);

  // Runs `vornd.exe <arguments>` to its end (false when it has not ended
  // within `timeoutMs`) and gives its exit code.
  bool run(const char *arguments, DWORD timeoutMs, DWORD *exitCode);

  // Waits, pumping this thread's messages, until `process` has ended.
  static bool waitForExit(HANDLE process, DWORD timeoutMs, DWORD *exitCode);

  // 1 while `process` has not ended.
  static bool isRunning(HANDLE process);

  // Ends every vornd this object started: `vornd --stop` first, as a user
  // would, and termination for any that is still there after that. Returns
  // "" when all ended on --stop, else what was wrong.
  //
  // Wine keeps the global hooks of a terminated process installed, and the
  // library's shared handles of them too; after a termination a fresh vornd
  // and `vornd --stop` remove them, as a user would have to.
  std::string stopAll();

 private:
  std::string terminate(HANDLE process);
  void removeHooksLeftBehind();

  std::string stageDirectory;
  std::vector<HANDLE> started;
};

}  // namespace e2e
