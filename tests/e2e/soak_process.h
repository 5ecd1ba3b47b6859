// A process that owns soak windows, as the soak test sees it: the test
// process itself, or the window host (vorn_soak_host.exe) as a child
// process. Either way its windows and what they received are read from
// its SoakReport.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "soak_report.h"

namespace e2e {

class SoakProcess {
 public:
  explicit SoakProcess(const char *name);
  ~SoakProcess();
  SoakProcess(const SoakProcess &) = delete;
  SoakProcess &operator=(const SoakProcess &) = delete;

  // Makes the requested windows and a marker in this process.
  bool openHere(const std::vector<SoakWindowRequest> &requests, POINT markerCorner);

  // Starts the window host with the requested windows and waits, pumping,
  // until they exist. "" on success, else what failed. `program` is the
  // host's path; by default the one beside this program, of its bitness.
  std::string startHost(const std::vector<SoakWindowRequest> &requests, POINT markerCorner,
                        const std::string &program = "");

  // False once the host has ended, for whatever reason; this process is
  // always running.
  bool isRunning() const;

  // Ends the host: WM_QUIT to its thread, then a wait. "" when it ended on
  // it with exit code 0, else what happened. Destroys the windows of this
  // process.
  std::string stop();

  const std::string &name() const { return label; }
  int windowCount() const;
  HWND window(int index) const;
  HWND marker() const;
  int markerMovesAt(POINT point) const;

  // The faults raised in the process so far: "" when none, else how many
  // and where the first were.
  std::string faults() const;

  // The file names (lower case) of the host's modules, which it lists
  // itself when asked; empty when it does not answer.
  std::set<std::string> hostModules() const;

  // How many WM_SYSCOMMAND of `command` (SC_MAXIMIZE or SC_RESTORE)
  // window `index` received.
  int systemCommandsReceived(int index, WPARAM command) const;

  // How often window `index` received `message`, of the entries logged so
  // far (and still kept).
  int countReceived(int index, UINT message) const;

  // Entries logged so far, and entry n (n below logged(), and not more
  // than SOAK_LOG_CAPACITY behind it).
  LONG logged() const;
  SoakLogEntry entry(LONG n) const;

 private:
  std::string label;
  SoakReport *report = nullptr;
  bool local = false;
  HANDLE section = NULL;
  HANDLE process = NULL;
  DWORD threadId = 0;
};

}  // namespace e2e
