// How the loader's compile time grows with the size of vorn.ini: files of
// 1 KB to 1 MB (scaling_configuration.h), each compiled with the daemon's
// loader into a private section, as vorncheck does. The growth per KB from
// one size to the next stays about the same when the compile is linear in
// the file's size.
//
//   vorn_loader_scaling [--sizes KB,KB,...] [--rounds R] [--single] [--tsv]
//
// Every size is compiled once per round, for at least R rounds and two
// seconds; each size's best compile counts, since on a shared machine a
// compile can only be slowed down by others. Each timed compile is also a
// stretch for callgrind (instruction_marks.h) named "compile-<KB>k"; under
// callgrind, --single times (and counts) one compile per size.
//
// Each compile should cost what the daemon's compile at its start costs,
// also under Wine. Wine's profile functions keep the last few files they
// read parsed (ten, judging by when the cost of freeing one shows up) and
// read a file again only when it has changed, or was written in the last
// two seconds or so. So before each timed compile more small files than
// they keep are read, untimed, which makes the compile read its own file
// afresh and frees what the earlier ones left; and the timing starts three
// seconds after the last file was written.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "bench_files.h"
#include "config/loader.h"
#include "instruction_marks.h"
#include "scaling_configuration.h"
#include "support/win32_files.h"

namespace {

struct Settings {
  std::vector<long> kilobytes;
  int rounds;
  double leastSeconds;  // of all rounds together
  double settleSeconds;
  int tsv;
};

struct SizeUnderTest {
  long kilobytes;
  size_t bytes;
  std::string path;
  std::string stretchName;
  double bestSeconds;  // 0 until timed
};

const int OTHER_FILE_COUNT = 16;

double countsPerSecond = 0;
std::vector<std::string> otherFiles;

double secondsNow() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return (double)count.QuadPart / countsPerSecond;
}

std::string scratchPath(const std::string &what) {
  std::string name = "vorn-scaling-" + std::to_string(GetCurrentProcessId()) + "-" + what + ".ini";
  return temporaryFilePath(name.c_str());
}

int writeOtherFiles() {
  for (int i = 0; i < OTHER_FILE_COUNT; ++i) {
    otherFiles.push_back(scratchPath("other" + std::to_string(i)));
    if (!vorntest::writeFileBytes(otherFiles.back(), "[Other]\r\nKey=1\r\n")) return 0;
  }
  return 1;
}

void readOtherFiles() {
  for (const std::string &path : otherFiles) {
    GetPrivateProfileIntA("Other", "Key", 0, path.c_str());
  }
}

int compiledAsGenerated() {
  return compiledListCount() == SCALING_LIST_COUNT && compiledMatchCount() == SCALING_MATCH_COUNT;
}

// Writes the file and checks that it compiles to what was generated.
int prepareSize(long kilobytes, SizeUnderTest *size) {
  std::string text = scalingConfiguration((size_t)kilobytes * 1024);
  std::string name = std::to_string(kilobytes) + "k";
  *size = SizeUnderTest{kilobytes, text.size(), scratchPath(name), "compile-" + name, 0};
  int ok = vorntest::writeFileBytes(size->path, text) && compileFilePrivately(size->path) &&
           compiledAsGenerated();
  if (!ok) fprintf(stderr, "vorn_loader_scaling: %ld KB did not compile as written\n", kilobytes);
  return ok;
}

// The previous image is let go before the clock starts: unmapping a large
// section belongs to the compile that made it, not to the next one.
int timeCompile(SizeUnderTest *size) {
  readOtherFiles();
  releaseConfiguration();
  double start = secondsNow();
  startCountingInstructions();
  int compiled = compileFilePrivately(size->path);
  stopCountingInstructions(size->stretchName.c_str());
  double seconds = secondsNow() - start;
  if (size->bestSeconds == 0 || seconds < size->bestSeconds) size->bestSeconds = seconds;
  return compiled;
}

// Compiles the smallest file, untimed, for `seconds`.
int settle(const SizeUnderTest &smallest, double seconds) {
  double end = secondsNow() + seconds;
  while (secondsNow() < end) {
    if (!compileFilePrivately(smallest.path)) return 0;
  }
  return 1;
}

int timeAllSizes(std::vector<SizeUnderTest> *sizes, const Settings &settings) {
  double start = secondsNow();
  for (int round = 0; round < settings.rounds || secondsNow() - start < settings.leastSeconds;
       ++round) {
    for (SizeUnderTest &size : *sizes) {
      if (!timeCompile(&size)) return 0;
    }
  }
  return 1;
}

void printTable(const std::vector<SizeUnderTest> &sizes, int tsv) {
  if (!tsv) printf("%10s %12s %14s %18s\n", "bytes", "compile ms", "us per KB", "growth us per KB");
  for (size_t i = 0; i < sizes.size(); ++i) {
    const SizeUnderTest &size = sizes[i];
    double kb = (double)size.bytes / 1024;
    double growth = 0;
    if (i > 0) {
      const SizeUnderTest &before = sizes[i - 1];
      growth = (size.bestSeconds - before.bestSeconds) * 1e6 / (kb - (double)before.bytes / 1024);
    }
    if (tsv) {
      printf("%ld\t%lu\t%.4f\t%.3f\t%.3f\n", size.kilobytes, (unsigned long)size.bytes,
             size.bestSeconds * 1e3, size.bestSeconds * 1e6 / kb, growth);
    } else {
      printf("%10lu %12.3f %14.2f %18.2f\n", (unsigned long)size.bytes, size.bestSeconds * 1e3,
             size.bestSeconds * 1e6 / kb, growth);
    }
  }
}

// Sizes in KB, ascending, comma-separated.
int readSizes(const char *list, std::vector<long> *kilobytes) {
  kilobytes->clear();
  for (const char *p = list; *p;) {
    char *end = NULL;
    long size = strtol(p, &end, 10);
    if (end == p || size <= 0 || (*end != ',' && *end != '\0')) return 0;
    if (!kilobytes->empty() && size <= kilobytes->back()) return 0;
    kilobytes->push_back(size);
    p = *end == ',' ? end + 1 : end;
  }
  return !kilobytes->empty();
}

int readSettings(int argc, char **argv, Settings *settings) {
  settings->kilobytes = {1, 4, 16, 64, 256, 1024};
  settings->rounds = 5;
  settings->leastSeconds = 2;
  settings->settleSeconds = 3;
  settings->tsv = 0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--tsv") == 0) {
      settings->tsv = 1;
    } else if (strcmp(argv[i], "--sizes") == 0 && i + 1 < argc) {
      if (!readSizes(argv[++i], &settings->kilobytes)) return 0;
    } else if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      settings->rounds = atoi(argv[++i]);
    } else if (strcmp(argv[i], "--single") == 0) {
      settings->rounds = 1;
      settings->leastSeconds = 0;
      settings->settleSeconds = 0;
    } else {
      return 0;
    }
  }
  return settings->rounds > 0;
}

void deleteFiles(const std::vector<SizeUnderTest> &sizes) {
  for (const SizeUnderTest &size : sizes) DeleteFileA(size.path.c_str());
  for (const std::string &path : otherFiles) DeleteFileA(path.c_str());
}

}  // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!readSettings(argc, argv, &settings)) {
    fprintf(stderr,
            "usage: vorn_loader_scaling [--sizes KB,KB,...] [--rounds R] [--single] [--tsv]\n");
    return 2;
  }
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
    fprintf(stderr, "vorn_loader_scaling: no performance counter\n");
    return 1;
  }
  countsPerSecond = (double)frequency.QuadPart;
  std::vector<SizeUnderTest> sizes(settings.kilobytes.size());
  int ok = writeOtherFiles();
  for (size_t i = 0; ok && i < sizes.size(); ++i)
    ok = prepareSize(settings.kilobytes[i], &sizes[i]);
  ok = ok && settle(sizes.front(), settings.settleSeconds) && timeAllSizes(&sizes, settings);
  deleteFiles(sizes);
  if (!ok) return 1;
  printTable(sizes, settings.tsv);
  return 0;
}
