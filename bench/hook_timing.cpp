// What the mouse hook costs per message, timed without Google Benchmark,
// so that the same cases run on the host (against winsim) and under Wine
// (against real windows): each case is called many times in a row, once
// per round, the cases taking turns; each case's best round counts, since
// on a shared machine a round can only be slowed down by others.
//
//   vorn_hook_timing [--calls N] [--rounds R] [--tsv]
//
// Without --calls each case gets as many calls as fill about 20 ms, and a
// second of warming up comes first. Each round is also a stretch for
// callgrind (instruction_marks.h), named after its case.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "hook_cases.h"
#include "hook_scene.h"
#include "instruction_marks.h"

namespace {

struct Settings {
  long calls;  // 0: chosen per case
  int rounds;
  int tsv;
};

const double ROUND_SECONDS = 0.02;
const long MAX_CALLS = 100000000;

double countsPerSecond = 0;

double secondsNow() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return (double)count.QuadPart / countsPerSecond;
}

LRESULT volatile lastResult;

void callRepeatedly(const HookCase &hookCase, long calls) {
  for (long i = 0; i < calls; ++i) lastResult = hookCase.handleOneMessage();
}

// Seconds for one round of `calls` messages.
double timeRound(const HookCase &hookCase, long calls) {
  double start = secondsNow();
  startCountingInstructions();
  callRepeatedly(hookCase, calls);
  stopCountingInstructions(hookCase.name);
  return secondsNow() - start;
}

// Doubles the number of calls until a round takes a fifth of the target,
// then scales it to the target. The calls made on the way are the warm-up.
long callsFillingRound(const HookCase &hookCase) {
  long calls = 16;
  for (;;) {
    double start = secondsNow();
    callRepeatedly(hookCase, calls);
    double seconds = secondsNow() - start;
    if (seconds >= ROUND_SECONDS / 5 || calls >= MAX_CALLS) {
      double scaled = (double)calls * ROUND_SECONDS / (seconds > 0 ? seconds : ROUND_SECONDS);
      return scaled < 1 ? 1 : scaled > MAX_CALLS ? MAX_CALLS : (long)scaled;
    }
    calls *= 2;
  }
}

// Runs every case, untimed, so that whatever the system does only at first
// use (the masked move, for one, switches the tracking off only once) is
// done before any round is timed.
void warmUp(double seconds) {
  double end = secondsNow() + seconds;
  while (secondsNow() < end) {
    for (int i = 0; i < HOOK_CASE_COUNT; ++i) {
      HOOK_CASES[i].useOptions();
      callRepeatedly(HOOK_CASES[i], 100);
    }
  }
}

// The calls per round of each case.
std::vector<long> chooseCalls(const Settings &settings) {
  std::vector<long> calls((size_t)HOOK_CASE_COUNT, settings.calls);
  for (int i = 0; i < HOOK_CASE_COUNT; ++i) {
    HOOK_CASES[i].useOptions();
    if (settings.calls > 0) {
      callRepeatedly(HOOK_CASES[i], settings.calls / 10 + 1);  // warm-up
    } else {
      calls[(size_t)i] = callsFillingRound(HOOK_CASES[i]);
    }
  }
  return calls;
}

// Nanoseconds per message in each case's best round.
std::vector<double> measureCases(const Settings &settings) {
  if (settings.calls == 0) warmUp(1.0);
  std::vector<long> calls = chooseCalls(settings);
  std::vector<double> best((size_t)HOOK_CASE_COUNT, 0);
  for (int round = 0; round < settings.rounds; ++round) {
    for (size_t i = 0; i < best.size(); ++i) {
      HOOK_CASES[i].useOptions();
      double seconds = timeRound(HOOK_CASES[i], calls[i]);
      if (round == 0 || seconds < best[i]) best[i] = seconds;
    }
  }
  for (size_t i = 0; i < best.size(); ++i) best[i] = best[i] * 1e9 / (double)calls[i];
  return best;
}

void printTable(const double *nanoseconds, const Settings &settings) {
  double baseline = nanoseconds[BASELINE_CASE];
  if (!settings.tsv) {
    printf("best of %d rounds; per message, and as a multiple of the pass-through hook:\n",
           settings.rounds);
  }
  for (int i = 0; i < HOOK_CASE_COUNT; ++i) {
    double ratio = baseline > 0 ? nanoseconds[i] / baseline : 0;
    if (settings.tsv) {
      printf("%s\t%s\t%.2f\t%.2f\n", HOOK_CASES[i].name, HOOK_CASES[i].label, nanoseconds[i],
             ratio);
    } else {
      printf("  %-24s %10.1f ns %9.1fx   %s\n", HOOK_CASES[i].name, nanoseconds[i], ratio,
             HOOK_CASES[i].label);
    }
  }
}

int readSettings(int argc, char **argv, Settings *settings) {
  *settings = Settings{0, 25, 0};
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--tsv") == 0) {
      settings->tsv = 1;
    } else if (strcmp(argv[i], "--calls") == 0 && i + 1 < argc) {
      settings->calls = atol(argv[++i]);
    } else if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      settings->rounds = atoi(argv[++i]);
    } else {
      return 0;
    }
  }
  return settings->calls >= 0 && settings->rounds > 0;
}

}  // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!readSettings(argc, argv, &settings)) {
    fprintf(stderr, "usage: vorn_hook_timing [--calls N] [--rounds R] [--tsv]\n");
    return 2;
  }
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
    fprintf(stderr, "vorn_hook_timing: no performance counter\n");
    return 1;
  }
  countsPerSecond = (double)frequency.QuadPart;
  if (!setUpHookScene()) {
    tearDownHookScene();
    return 1;
  }
  std::vector<double> nanoseconds = measureCases(settings);
  tearDownHookScene();
  printTable(nanoseconds.data(), settings);
  return 0;
}
