#include "daemon_status.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "config/image_layout.h"
#include "config/image_publish.h"
#include "config/ini_location.h"
#include "config/loader.h"
#include "config/loader_state.h"
#include "console_text.h"
#include "private_compile.h"
#include "vorn_version.h"

const DaemonNames DAEMON_PAIR[2] = {
    {"vornd", "vornd.exe", "vornMainWnd", "vornConfigure"},
    {"vornd64", "vornd64.exe", "vornMainWnd64", "vornConfigure64"},
};

namespace {

// The daemon's search (ini_location.h), with the daemon's program for the
// last place: L"" (its program cannot be asked for) skips that place. ""
// when no place holds a file that opens.
void findConfiguration(const WCHAR *program, char *path) {
  HANDLE file = locateConfigurationFile(program);
  path[0] = '\0';
  if (file == INVALID_HANDLE_VALUE) return;
  CloseHandle(file);
  lstrcpyA(path, iniPath);
}

// The process's program and how many bits it runs with.
void askProcess(DaemonStatus *status) {
  GetWindowThreadProcessId(status->window, &status->processId);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, status->processId);
  if (!process) return;
  DWORD size = MAX_PATH;
  if (QueryFullProcessImageNameW(process, 0, status->programFile, &size)) {
    // Printed as the A functions name it where that has no '?' in it.
    WCHAR path[PLACE_PATH_SIZE];
    memcpy(path, status->programFile, sizeof status->programFile);
    openablePath(path, status->program);
  } else {
    status->programFile[0] = 0;
  }
  BOOL wow64 = FALSE;
  if (!onWindows64()) {
    status->processBits = 32;
  } else if (IsWow64Process(process, &wow64)) {
    status->processBits = wow64 ? 32 : 64;
  }
  CloseHandle(process);
}

// What the daemon's section holds, against what its file compiles to now.
Loaded compareSection(DaemonStatus *status) {
  HANDLE section = OpenFileMappingA(FILE_MAP_READ, FALSE, status->names->sectionName);
  status->sectionExists = section != NULL;
  if (!section) return status->configuration[0] ? LOADED_NONE : LOADED_NO_FILE;
  const unsigned char *view = (const unsigned char *)MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
  uint32_t viewSize = mappedViewSize(view);
  Loaded loaded = LOADED_UNKNOWN;
  if (!view || viewSize < IMAGE_HEADER_SIZE) {
    status->problem = "its section cannot be read";
  } else {
    status->sectionEmpty = true;
    for (int i = 0; i < IMAGE_HEADER_SIZE; ++i) status->sectionEmpty &= view[i] == 0xFF;
    if (!status->configuration[0]) {
      loaded = LOADED_NO_FILE;
    } else {
      char fullPath[MAX_PATH];
      int compiled = compilePrivately(status->configuration, fullPath);
      if (compiled == 1) {
        // The trailer at the view's end (the options, the generation) is
        // no part of the image.
        uint32_t imageBytes = viewSize > IMAGE_TRAILER_SIZE ? viewSize - IMAGE_TRAILER_SIZE : 0;
        loaded = sameImage(view, imageBytes, imageHeader, imageSize) ? LOADED_CURRENT
                 : status->sectionEmpty                              ? LOADED_NONE
                                                                     : LOADED_EDITED;
      } else {
        status->problem =
            compiled == 0 ? "its vorn.ini cannot be read" : "its vorn.ini cannot be compiled";
      }
      releaseConfiguration();
    }
  }
  if (view) UnmapViewOfFile(view);
  CloseHandle(section);
  return loaded;
}

void readStatusEntry(DaemonStatus *status) {
  if (!status->configuration[0]) return;
  GetPrivateProfileStringA(VORN_STATUS_SECTION, VORN_STATUS_KEY, "", status->statusError,
                           sizeof status->statusError, status->configuration);
}

const char *loadedWord(const DaemonStatus &status) {
  switch (status.loaded) {
    case LOADED_NOT_RUNNING:
      return "-";
    case LOADED_CURRENT:
      return "current";
    case LOADED_EDITED:
      return "edit not loaded";
    case LOADED_NONE:
      return "none loaded";
    case LOADED_NO_FILE:
      return "no vorn.ini";
    case LOADED_PAUSED:
      return "paused";
    default:
      return "unknown";
  }
}

void printRow(FILE *out, const DaemonStatus &status) {
  bool running = status.window != NULL;
  char process[16] = "-";
  char bits[16] = "-";
  if (running) snprintf(process, sizeof process, "%lu", (unsigned long)status.processId);
  if (status.processBits) snprintf(bits, sizeof bits, "%d-bit", status.processBits);
  consolePrintf(out, "%-8s %-13s %-7s %-8s %-7s %s\n", status.names->name, status.names->windowName,
                running ? "yes" : "no", process, bits, loadedWord(status));
}

// What a row means, in words, with what to do about it.
void printNotes(FILE *out, const DaemonStatus &status) {
  const char *name = status.names->name;
  if (!status.window) {
    if (status.sectionExists) {
      consolePrintf(
          out,
          "%s: does not run, but its section %s is still held by programs its library was "
          "loaded into; %s\n",
          name, status.names->sectionName,
          status.sectionEmpty
              ? "it holds no configuration"
              : "it still holds a configuration (did the daemon end without --stop?)");
    }
    return;
  }
  consolePrintf(out, "%s: process %lu, %s\n", name, (unsigned long)status.processId,
                status.program[0] ? status.program : "(its program cannot be asked for)");
  if (status.configuration[0]) consolePrintf(out, "%s: loads %s\n", name, status.configuration);
  switch (status.loaded) {
    case LOADED_CURRENT:
      consolePrintf(out, "%s: runs what that file compiles to now\n", name);
      break;
    case LOADED_EDITED:
      consolePrintf(
          out, "%s: the file was edited since it was loaded: edit not loaded yet: start %s again\n",
          name, status.names->programFile);
      break;
    case LOADED_NONE:
      consolePrintf(
          out,
          "%s: holds no configuration, so every click passes: the file was not there when it "
          "started, or its last load (at a start, a second start or a save) failed; start %s "
          "again\n",
          name, status.names->programFile);
      break;
    case LOADED_PAUSED:
      fprintf(out,
              "%s: paused (vornd --pause): its hooks are removed and every click passes; vornd "
              "--resume installs them again\n",
              name);
      break;
    case LOADED_NO_FILE:
      consolePrintf(out,
                    "%s: finds no vorn.ini (it looks in the Windows directory, then in "
                    "%%APPDATA%%\\vorn, then beside %s)%s\n",
                    name, status.names->programFile,
                    status.sectionExists && !status.sectionEmpty
                        ? ": it runs the configuration of a file that is gone"
                        : ": every click passes");
      break;
    default:
      consolePrintf(out, "%s: what it runs cannot be found out: %s\n", name,
                    status.problem ? status.problem : "its program cannot be asked for");
      break;
  }
  if (status.statusError[0]) {
    consolePrintf(
        out,
        "%s: the file holds [Status] Error=%s: a load could not create the shared memory; vorn "
        "never removes the entry, delete it once the load works\n",
        name, status.statusError);
  }
}

// Which programs the running daemons reach: a daemon's hooks reach the
// programs of its own bitness.
void printCoverage(FILE *out, const DaemonStatus *statuses, int count) {
  int widths[2] = {32, 64};
  int shown = onWindows64() ? 2 : 1;
  for (int w = 0; w < shown; ++w) {
    const DaemonStatus *by = NULL;
    for (int i = 0; i < count; ++i) {
      if (statuses[i].window && statuses[i].processBits == widths[w]) by = &statuses[i];
    }
    if (by && by->loaded == LOADED_PAUSED) {
      consolePrintf(out, "%d-bit programs: not covered while %s (process %lu) is paused\n",
                    widths[w], by->names->name, (unsigned long)by->processId);
    } else if (by) {
      consolePrintf(out, "%d-bit programs: covered, by %s (process %lu)\n", widths[w],
                    by->names->name, (unsigned long)by->processId);
    } else {
      consolePrintf(out, "%d-bit programs: not covered: no %d-bit daemon runs (%s)\n", widths[w],
                    widths[w], w == 0 ? "vornd.exe with vorn.dll" : "vornd64.exe with vorn64.dll");
    }
  }
}

}  // namespace

bool onWindows64() {
  if (sizeof(void *) == 8) return true;
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool sameImage(const unsigned char *a, uint32_t aSize, const unsigned char *b, uint32_t bSize) {
  uint32_t common = aSize < bSize ? aSize : bSize;
  if (memcmp(a, b, common) != 0) return false;
  const unsigned char *longer = aSize > bSize ? a : b;
  uint32_t longerSize = aSize > bSize ? aSize : bSize;
  for (uint32_t i = common; i < longerSize; ++i) {
    if (longer[i] != 0) return false;
  }
  return true;
}

void inspectDaemon(const DaemonNames &names, DaemonStatus *status) {
  memset(status, 0, sizeof *status);
  status->names = &names;
  status->window = FindWindowA(names.windowName, names.windowName);
  if (!status->window) {
    HANDLE section = OpenFileMappingA(FILE_MAP_READ, FALSE, names.sectionName);
    if (section) {
      status->sectionExists = true;
      const unsigned char *view =
          (const unsigned char *)MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
      status->sectionEmpty = true;
      if (view && mappedViewSize(view) >= IMAGE_HEADER_SIZE) {
        for (int i = 0; i < IMAGE_HEADER_SIZE; ++i) status->sectionEmpty &= view[i] == 0xFF;
      }
      if (view) UnmapViewOfFile(view);
      CloseHandle(section);
    }
    return;
  }
  askProcess(status);
  findConfiguration(status->programFile, status->configuration);
  // Paused, the daemon holds no configuration on purpose: what the file
  // compiles to does not matter until it resumes, which loads it afresh.
  if (GetPropA(status->window, DAEMON_PAUSED_PROPERTY)) {
    status->loaded = LOADED_PAUSED;
    readStatusEntry(status);
    return;
  }
  if (!status->program[0] && !status->configuration[0]) {
    // Without its program's folder the second place cannot be looked at.
    status->loaded = LOADED_UNKNOWN;
    status->problem = "its program cannot be asked for, and the Windows directory has no vorn.ini";
    return;
  }
  status->loaded = compareSection(status);
  readStatusEntry(status);
}

int reportStatus(FILE *out) {
  DaemonStatus statuses[2];
  for (int i = 0; i < 2; ++i) inspectDaemon(DAEMON_PAIR[i], &statuses[i]);
  consolePrintf(out, "vorn %s, vorncheck %d-bit, on %d-bit Windows\n", VORN_VERSION,
                (int)(sizeof(void *) * 8), onWindows64() ? 64 : 32);
  consolePrintf(out, "%-8s %-13s %-7s %-8s %-7s %s\n", "daemon", "window", "running", "process",
                "bits", "configuration");
  for (const DaemonStatus &status : statuses) printRow(out, status);
  for (const DaemonStatus &status : statuses) printNotes(out, status);
  printCoverage(out, statuses, 2);

  bool anyRunning = false, allCurrent = true, unknown = false;
  for (const DaemonStatus &status : statuses) {
    if (!status.window) continue;
    anyRunning = true;
    allCurrent &= status.loaded == LOADED_CURRENT;
    unknown |= status.loaded == LOADED_UNKNOWN;
  }
  if (unknown) return 2;
  return anyRunning && allCurrent ? 0 : 1;
}
