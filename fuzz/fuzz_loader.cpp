// Fuzzes the configuration loader over arbitrary vorn.ini bytes.
//
// Each input becomes vorn.ini in the Windows directory and is compiled
// twice, the way vorncheck does it (into a private section) and the way the
// daemon does it (loadConfiguration into the named section), and must:
// - compile: no text can make the loader give up, since a file that exists
//   always gives an image;
// - give an image that the attach-time validation accepts, both at its
//   exact size and as another process maps it read-only;
// - write nothing past the image: the rest of the section's last page
//   stays as the system handed it out (zero);
// - leave the file alone when compiled privately, and give the same bytes
//   both ways;
// - once released by the daemon, leave a process that still holds a view
//   an empty header: no configuration rather than part of an old one.
// Depending on the input, a stale section of the same name is held open
// first, as processes that still have an old image mapped hold it; the
// load must then either fit its image into that section or fail cleanly.
// The shell's version (which picks the XMouseMode) varies the same way.
// After each input every handle, section, view and heap block the loader
// took is given back, so that no run leaks into the next.
#include <shlwapi.h>
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "config/image_layout.h"
#include "config/image_publish.h"
#include "config/image_validation.h"
#include "config/loader.h"
#include "config/loader_state.h"
#include "fuzz_checks.h"
#include "private_compile.h"
#include "support/win32_files.h"
#include "winsim/control.h"

namespace {

struct ResourceCounts {
  int handles;
  int sections;
  int views;
  long heapBlocks;

  static ResourceCounts now() {
    return {winsimOpenHandleCount(), winsimSectionCount(), winsimViewCount(),
            winsimHeapBlockCount()};
  }
  bool operator==(const ResourceCounts &other) const {
    return handles == other.handles && sections == other.sections && views == other.views &&
           heapBlocks == other.heapBlocks;
  }
};

// How an input's run is set up besides its text.
struct Variant {
  int staleSectionBytes;  // 0: no stale section
  WinsimShell32 shell;
  DWORD shellVersion;  // major << 16 | minor
};

Variant variantOf(const uint8_t *data, size_t size) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  static const int staleSizes[] = {0, 1, 5 * 4096 + 7};
  static const WinsimShell32 shells[] = {WINSIM_SHELL32_VERSIONED, WINSIM_SHELL32_UNVERSIONED,
                                         WINSIM_SHELL32_MISSING};
  // Below, at and above the versions that offer the system's tracking.
  static const DWORD shellVersions[] = {0x00040000, 0x00040047, 0x00060000};
  Variant variant = {staleSizes[hash % 3], shells[(hash / 3) % 3], shellVersions[(hash / 9) % 3]};
  return variant;
}

const std::string &iniFile() {
  static std::string path;
  if (path.empty()) {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    PathAppendA(folder, "vorn.ini");
    path = folder;
  }
  return path;
}

void requireOptionsInRange() {
  fuzzRequire(xmouseMode >= XMOUSE_OFF && xmouseMode <= XMOUSE_SYSTEM_TRACKING,
              "the XMouseMode is 0, 1 or 2");
  fuzzRequire(maskXmouseOnMove == 0 || maskXmouseOnMove == 1, "maskXmouseOnMove is 0 or 1");
  fuzzRequire(xmouseMode != XMOUSE_OFF || maskXmouseOnMove == 0,
              "masking is off when the XMouseMode is 0");
}

// The bytes of the view's last page behind the image, up to the trailer
// of the published options that ends the view: the loader must not have
// written them.
void requireNothingWrittenPast(const unsigned char *view, uint32_t imageBytes) {
  uint32_t mapped = mappedViewSize(view);
  fuzzRequire(mapped >= imageBytes + IMAGE_TRAILER_SIZE, "the view covers the image and trailer");
  for (uint32_t i = imageBytes; i < mapped - IMAGE_TRAILER_SIZE; ++i) {
    fuzzRequire(view[i] == 0, "nothing is written past the image");
  }
}

// The named section as a hooked process holds it: opened read-only by
// name, mapped whole, and checked as it is checked at attach.
struct HookedView {
  HANDLE section;
  const unsigned char *bytes;
};

HookedView attachAsHookedProcess() {
  HookedView view;
  view.section = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  fuzzRequire(view.section != NULL, "a loaded image can be opened by name");
  view.bytes = (const unsigned char *)MapViewOfFile(view.section, FILE_MAP_READ, 0, 0, 0);
  fuzzRequire(view.bytes != NULL, "a loaded image can be mapped read-only");
  fuzzRequire(validateImage(view.bytes, mappedViewSize(view.bytes)) == 1,
              "an attach accepts the loaded image");
  return view;
}

// Once the daemon has let go of its image, a process that keeps its view
// sees no configuration at all, never a part of one.
void requireEmptiedForHookedProcess(const HookedView &view) {
  for (uint32_t field = 0; field < HEADER_FIELD_COUNT; ++field) {
    fuzzRequire(readImageInt(view.bytes, 4 * field) == NO_OFFSET,
                "a released image leaves an empty header behind");
  }
  fuzzRequire(validateImage(view.bytes, mappedViewSize(view.bytes)) == 1,
              "an emptied image is still accepted");
}

void detachHookedProcess(const HookedView &view) {
  UnmapViewOfFile(view.bytes);
  CloseHandle(view.section);
}

// The daemon lets go of its image while a hooked process holds its view.
void releaseWhileHooked() {
  HookedView view = attachAsHookedProcess();
  releaseConfiguration();
  requireEmptiedForHookedProcess(view);
  detachHookedProcess(view);
}

// Compiles with vorncheck's own private compile; returns the image's bytes.
std::string compileAsVorncheck(const std::string &text) {
  char fullPath[MAX_PATH];
  int compiled = compilePrivately(iniFile().c_str(), fullPath);
  fuzzRequire(compiled != 0, "the file just written opens");
  fuzzRequire(compiled == 1, "every file compiles");
  requireOptionsInRange();
  fuzzRequire(imageHeader != NULL && imageSize >= IMAGE_HEADER_SIZE,
              "a compiled image has its header");
  fuzzRequire(validateImage(imageHeader, imageSize) == 1, "a compiled image is valid at its size");
  requireNothingWrittenPast(imageHeader, imageSize);
  // A file that is gone must not pass for an empty one left alone.
  fuzzRequire(vorntest::readFileBytes(iniFile(), "<missing>") == text,
              "a private compile leaves the file alone");
  std::string image((const char *)imageHeader, imageSize);
  if (fuzzVerbose())
    fprintf(stderr, "image of %u bytes, XMouseMode %d\n", imageSize, (int)xmouseMode);
  releaseConfiguration();
  return image;
}

void loadAsDaemon(const std::string &privateImage) {
  fuzzRequire(loadConfiguration() == 1, "the daemon loads every file");
  requireOptionsInRange();
  fuzzRequire(
      imageSize == privateImage.size() && memcmp(imageHeader, privateImage.data(), imageSize) == 0,
      "both compiles give the same image");
  requireNothingWrittenPast(imageHeader, imageSize);
  releaseWhileHooked();
}

// A section of this name held by processes that still have an old image
// mapped, filled with what no image holds.
HANDLE holdStaleSection(int bytes) {
  HANDLE stale =
      CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, bytes, VORN_SECTION_NAME);
  fuzzRequire(stale != NULL, "a stale section can be made");
  unsigned char *view = (unsigned char *)MapViewOfFile(stale, FILE_MAP_WRITE, 0, 0, 0);
  fuzzRequire(view != NULL, "a stale section can be filled");
  memset(view, 0xA5, mappedViewSize(view));
  UnmapViewOfFile(view);
  return stale;
}

void loadOverStaleSection(int bytes) {
  HANDLE stale = holdStaleSection(bytes);
  int loaded = loadConfiguration();
  if (fuzzVerbose()) {
    fprintf(stderr, "stale section of %d bytes: %s\n", bytes, loaded ? "used" : "refused");
  }
  if (loaded == 1) {
    fuzzRequire(imageSize <= mappedViewSize(imageHeader), "the image fits the stale section");
    releaseWhileHooked();
  } else {
    fuzzRequire(imageHeader == NULL && imageBase == NULL, "a failed load leaves no image");
    releaseConfiguration();
  }
  CloseHandle(stale);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 1 << 20) return 0;
  Variant variant = variantOf(data, size);
  winsimSetShell32(variant.shell, variant.shellVersion);
  ResourceCounts before = ResourceCounts::now();

  std::string text((const char *)data, size);
  fuzzRequire(vorntest::writeFileBytes(iniFile(), text), "vorn.ini can be written");
  std::string image = compileAsVorncheck(text);
  loadAsDaemon(image);
  if (variant.staleSectionBytes) loadOverStaleSection(variant.staleSectionBytes);

  fuzzRequire(ResourceCounts::now() == before, "a load gives back everything it took");
  return 0;
}
