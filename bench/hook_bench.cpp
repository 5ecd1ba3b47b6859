// What the mouse hook costs per message, as a multiple of a hook that only
// passes the message on: a move with the options a vorn.ini without
// [Options] gives, a move with focus-follows-mouse masking, a click on a
// list of one rule, and a click on a maximal list (9 rules of 35 Patterns
// each, none of which holds, so that every Pattern is tried).
//
//   build/host-release/bench/vorn_hook_bench [--benchmark_filter=...]
//
// All cases run in one process and one run; the ratios come last.
#include <benchmark/benchmark.h>
#include <shlwapi.h>
#include <windows.h>

#include <stdio.h>
#include <map>
#include <string>
#include <vector>

#include "config/image_layout.h"
#include "config/loader.h"
#include "hooks/shared_state.h"
#include "vorn.h"

namespace {

// The baseline: a hook procedure that does nothing but pass the message on.
LRESULT CALLBACK passThroughHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(mouseHook, code, wParam, lParam);
}

// Called through a volatile pointer, as the system calls a hook: neither
// procedure can be inlined into the loop.
HOOKPROC volatile passThrough = passThroughHookProc;
HOOKPROC volatile dispatcher = mouseHookProc;

struct Desktop {
  HWND main;
  HWND pane;
  HWND other;
};
Desktop desktop = {NULL, NULL, NULL};

const char *const PATTERN_KEYS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string maximalMatch(int number) {
  std::string text = "[Match.M" + std::to_string(number) + "]\r\nnPattern=35\r\n";
  for (int p = 1; p <= 35; ++p) {
    std::string key(1, PATTERN_KEYS[p]);
    text += key + ".Invoked.Class=vornBenchPane\r\n";
    text += key + ".Active.Class=vornBench\r\n";
    text += key + ".Parent.Class=NoSuchClass" + std::to_string(p) + "\r\n";
  }
  return text;
}

// LBUTTONDOWN: one rule that holds. RBUTTONDOWN: the maximal list. Both
// end in "Default", so that each click goes on to the next hook.
std::string configuration() {
  std::string text =
      "[Options]\r\nUseXMOUSE=1\r\nMaskXMOUSEOnMOUSEMOVE=1\r\n"
      "[MaskXMOUSE]\r\nMatch=Panes\r\n"
      "[Match.Panes]\r\nnPattern=1\r\n1.Invoked.Class=vornBenchPane\r\n"
      "[List1]\r\nHook1=LBUTTONDOWN\r\n1.Match=Panes\r\n1.Action=Default\r\n"
      "[List2]\r\nHook1=RBUTTONDOWN\r\n";
  for (int rule = 1; rule <= 9; ++rule) {
    text += std::to_string(rule) + ".Match=M" + std::to_string(rule) + "\r\n";
    text += std::to_string(rule) + ".Action=NoAction\r\n";
  }
  text += "Default.Action=Default\r\n";
  for (int number = 1; number <= 9; ++number) text += maximalMatch(number);
  return text;
}

std::string iniBesideProgram() {
  char path[MAX_PATH];
  GetModuleFileNameA(NULL, path, MAX_PATH);
  PathRemoveFileSpecA(path);
  PathAppendA(path, "vorn.ini");
  return path;
}

bool writeConfiguration(const std::string &path) {
  std::string text = configuration();
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL);
  CloseHandle(file);
  return ok && written == text.size();
}

void registerClass(const char *name) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HWND makeWindow(const char *className, DWORD style, int x, int y, int width, int height,
                HWND parent) {
  return CreateWindowExA(0, className, "vorn bench", style, x, y, width, height, parent, NULL,
                         GetModuleHandleA(NULL), NULL);
}

// main, with a pane in it, below another window: the pane is masked and
// main is not the top of the z-order.
bool buildDesktop() {
  registerClass("vornBench");
  registerClass("vornBenchPane");
  DWORD topLevel = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  desktop.main = makeWindow("vornBench", topLevel, 100, 100, 400, 300, NULL);
  desktop.pane = makeWindow("vornBenchPane", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100, desktop.main);
  desktop.other = makeWindow("vornBench", topLevel, 550, 100, 300, 300, NULL);
  SetWindowPos(desktop.other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return desktop.main && desktop.pane && desktop.other;
}

// What a vorn.ini without [Options] gives: both MoveProtect options on,
// no focus-follows-mouse.
void useDefaultOptions() {
  mbuttonUpMoveProtect = 1;
  lbuttonUpMoveProtect = 1;
  xmouseMode = XMOUSE_OFF;
  maskXmouseOnMove = 0;
}

void useMasking() {
  useDefaultOptions();
  xmouseMode = XMOUSE_SYSTEM_TRACKING;
  maskXmouseOnMove = 1;
}

void runHook(benchmark::State &state, HOOKPROC volatile &hook, UINT message, HWND window,
             int hitTest) {
  MOUSEHOOKSTRUCT m = {};
  m.pt.x = 150;
  m.pt.y = 150;
  m.hwnd = window;
  m.wHitTestCode = (UINT)hitTest;
  for (auto _ : state) {
    LRESULT result = hook(HC_ACTION, message, (LPARAM)&m);
    benchmark::DoNotOptimize(result);
  }
}

void passThroughMove(benchmark::State &state) {
  useDefaultOptions();
  runHook(state, passThrough, WM_MOUSEMOVE, desktop.pane, HTCLIENT);
}

void moveWithDefaultOptions(benchmark::State &state) {
  useDefaultOptions();
  runHook(state, dispatcher, WM_MOUSEMOVE, desktop.pane, HTCLIENT);
}

void moveWithMasking(benchmark::State &state) {
  useMasking();
  runHook(state, dispatcher, WM_MOUSEMOVE, desktop.pane, HTCLIENT);
}

void clickOnOneRuleList(benchmark::State &state) {
  useDefaultOptions();
  runHook(state, dispatcher, WM_LBUTTONDOWN, desktop.pane, HTCLIENT);
}

void clickOnMaximalList(benchmark::State &state) {
  useDefaultOptions();
  runHook(state, dispatcher, WM_RBUTTONDOWN, desktop.pane, HTCLIENT);
}

const char *const BASELINE = "passThroughMove";

BENCHMARK(passThroughMove);
BENCHMARK(moveWithDefaultOptions);
BENCHMARK(moveWithMasking);
BENCHMARK(clickOnOneRuleList);
BENCHMARK(clickOnMaximalList);

// Keeps each case's time per iteration, for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      std::string name = run.benchmark_name();
      if (times.find(name) == times.end()) order.push_back(name);
      times[name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void printRatios() const {
    auto baseline = times.find(BASELINE);
    if (baseline == times.end() || baseline->second <= 0) return;
    printf("\nper message, as a multiple of the pass-through hook (%.1f ns):\n", baseline->second);
    for (const std::string &name : order) {
      printf("  %-24s %8.1f ns  %6.1fx\n", name.c_str(), times.at(name),
             times.at(name) / baseline->second);
    }
  }

 private:
  std::map<std::string, double> times;
  std::vector<std::string> order;
};

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::string ini = iniBesideProgram();
  if (!buildDesktop() || !writeConfiguration(ini) || !loadConfiguration()) {
    fprintf(stderr, "vorn_hook_bench: could not set up the desktop and configuration\n");
    DeleteFileA(ini.c_str());
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  releaseConfiguration();
  DeleteFileA(ini.c_str());
  benchmark::Shutdown();
  return 0;
}
