// What the mouse hook costs per message, as a multiple of a hook that only
// passes the message on, under Google Benchmark (host build only): the
// cases of hook_cases.h, all in one process and one run; the ratios come
// last, from CPU time, which other programs on a busy machine disturb
// less than wall-clock time, and from each case's best repetition.
//
//   build/host-release/bench/vorn_hook_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <windows.h>

#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include "hook_cases.h"
#include "hook_scene.h"

namespace {

void runCase(benchmark::State &state, const HookCase *hookCase) {
  hookCase->useOptions();
  for (auto _ : state) {
    LRESULT result = hookCase->handleOneMessage();
    benchmark::DoNotOptimize(result);
  }
}

void registerCases() {
  for (int i = 0; i < HOOK_CASE_COUNT; ++i) {
    benchmark::RegisterBenchmark(HOOK_CASES[i].name, runCase, &HOOK_CASES[i]);
  }
}

// Keeps each case's best CPU time per iteration (over repetitions, when
// asked for), for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      std::string name = run.benchmark_name();
      double time = run.GetAdjustedCPUTime();
      auto known = times.find(name);
      if (known == times.end() || time < known->second) times[name] = time;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void printRatios() const {
    auto baseline = times.find(HOOK_CASES[BASELINE_CASE].name);
    if (baseline == times.end() || baseline->second <= 0) return;
    printf("\nper message (CPU time), as a multiple of the pass-through hook:\n");
    for (int i = 0; i < HOOK_CASE_COUNT; ++i) {
      auto time = times.find(HOOK_CASES[i].name);
      if (time == times.end()) continue;
      printf("  %-24s %10.1f ns %9.1fx   %s\n", HOOK_CASES[i].name, time->second,
             time->second / baseline->second, HOOK_CASES[i].label);
    }
  }

 private:
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!setUpHookScene()) {
    tearDownHookScene();
    return 1;
  }
  registerCases();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  tearDownHookScene();
  benchmark::Shutdown();
  return 0;
}
