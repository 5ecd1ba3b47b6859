#include "config/image_publish.h"

#include <windows.h>

#include "config/image_builder.h"
#include "config/image_validation.h"
#include "config/loader_state.h"
#include "config/options.h"
#include "config/section_security.h"
#include "config/status_entry.h"

// 1 once this process has found its read-only view to be of a section the
// daemon made (verifyPublishedSection).
int32_t sectionVerified = 0;

namespace {

// Copies the image so that a reader in another process that already holds
// a view of this section never follows a half-written one: first every
// header field becomes -1 (no lists, no matches), then the arena is
// written, and the header comes last.
void copyImageInto(unsigned char *view, uint32_t imageBytes) {
  const unsigned char *image = builderBytes();
  uint32_t used = builderUsed();
  memset(view, 0xFF, IMAGE_HEADER_SIZE);
  __sync_synchronize();
  memcpy(view + IMAGE_HEADER_SIZE, image + IMAGE_HEADER_SIZE, used - IMAGE_HEADER_SIZE);
  memset(view + used, 0, imageBytes - used);
  __sync_synchronize();
  memcpy(view, image, IMAGE_HEADER_SIZE);
}

// Each option value the hooks read, and its trailer word: the rows of the
// options table that have one.
struct PublishedValue {
  int32_t *variable;
  uint32_t trailerWord;
};
#define VORN_PUBLISHED_VALUE(id, key, fallback, variable, trailerWord) {&variable, trailerWord},
const PublishedValue PUBLISHED_VALUES[] = {VORN_OPTIONS(VORN_PUBLISHED_VALUE)};
const int PUBLISHED_VALUE_COUNT = sizeof PUBLISHED_VALUES / sizeof PUBLISHED_VALUES[0];

void publishOptions(unsigned char *trailer) {
  for (int row = 0; row < PUBLISHED_VALUE_COUNT; ++row) {
    const PublishedValue &value = PUBLISHED_VALUES[row];
    if (value.trailerWord != DAEMON_ONLY)
      writeImageInt(trailer, value.trailerWord, *value.variable);
  }
}

int32_t *generationWord(const unsigned char *trailer) {
  return (int32_t *)(trailer + TRAILER_GENERATION);  // aligned: the view's end less 20
}

}  // namespace

const char publishedSectionName[] = VORN_SECTION_NAME;

void beginImageRewrite(void) {
  if (!imageTrailer || !imageWritable) return;
  int32_t *word = generationWord(imageTrailer);
  __atomic_store_n(word, (__atomic_load_n(word, __ATOMIC_RELAXED) + 1) | 1, __ATOMIC_RELEASE);
  __sync_synchronize();
}

void endImageRewrite(void) {
  if (!imageTrailer || !imageWritable) return;
  int32_t *word = generationWord(imageTrailer);
  __sync_synchronize();
  __atomic_store_n(word, __atomic_load_n(word, __ATOMIC_RELAXED) + 1, __ATOMIC_RELEASE);
}

uint32_t imageGeneration(void) {
  if (!imageTrailer) return 0;
  return (uint32_t)__atomic_load_n(generationWord(imageTrailer), __ATOMIC_ACQUIRE);
}

int imageUnchangedSince(uint32_t generation) {
  __sync_synchronize();
  return (generation & 1) == 0 && imageGeneration() == generation;
}

void takePublishedOptions(void) {
  if (!imageTrailer || imageWritable) return;
  for (int row = 0; row < PUBLISHED_VALUE_COUNT; ++row) {
    const PublishedValue &value = PUBLISHED_VALUES[row];
    if (value.trailerWord != DAEMON_ONLY) {
      *value.variable = readImageInt(imageTrailer, value.trailerWord);
    }
  }
}

int32_t daemonTrailerWord(uint32_t offset) {
  return imageTrailer && imageWritable ? readImageInt(imageTrailer, offset) : 0;
}

void setDaemonTrailerWord(uint32_t offset, int32_t value) {
  if (imageTrailer && imageWritable) writeImageInt((unsigned char *)imageTrailer, offset, value);
}

// Whether the section was made by the daemon of this process's user: the
// owner is the user and the label no lower than Medium, which no sandboxed
// program can give a section it makes. Asked once per process, at the
// first hook call rather than at attach: the answer needs ADVAPI32, which
// must not be loaded under the loader lock.
void verifyPublishedSection(void) {
  if (!imageHeader || imageWritable || sectionVerified) return;
  if (isOwnSection(mappingHandle, SECURITY_MANDATORY_MEDIUM_RID)) {
    sectionVerified = 1;
    return;
  }
  // A stranger's section is no configuration. The view stays mapped until
  // the library detaches: another thread of this process may be reading it
  // at this moment, and finds the header gone at its next read.
  imageHeader = NULL;
  imageTrailer = NULL;
}

uint32_t followPublishedImage(void) {
  verifyPublishedSection();
  uint32_t generation = imageGeneration();
  takePublishedOptions();
  return generation;
}

uint32_t mappedViewSize(const void *view) {
  MEMORY_BASIC_INFORMATION info;
  if (!view || VirtualQuery(view, &info, sizeof info) < sizeof info) return 0;
  if (info.RegionSize > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  return (uint32_t)info.RegionSize;
}

void reportPublishFailure(const CompileTarget *target) {
  if (!target->reportFailureInFile) return;
  writeStatusError(iniPath);
}

// A section that already holds the name is written into only when it is
// one this program made: an earlier load's, which hooked programs still
// hold. Anything else under the name (a program that made it first to
// steer every click through a writable view it keeps, a sandboxed one
// whose section would carry a low label, one made reserve-only to fault on
// the first write) is the designed mapping failure. Checking the owner, the
// label and the pages costs the daemon three calls at a load; a private
// namespace would instead cost every hooked program an
// OpenPrivateNamespace at attach, under the loader lock, and Store apps
// may not open one bound to the user at all.
int publishImage(DWORD ruleSize, const CompileTarget *target) {
  // The view held so far (for instance one mapped at attach) is let go
  // first, so that a section nobody else holds can be made afresh.
  releaseConfiguration();
  uint32_t used = builderUsed();
  DWORD size = ruleSize > used ? ruleSize : used;
  // The trailer goes behind the image, at the end of the view's last page.
  DWORD sectionSize = size + IMAGE_TRAILER_SIZE;

  SECURITY_ATTRIBUTES security;
  LPSECURITY_ATTRIBUTES attributes = sandboxReadableSecurity(&security);
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, attributes, PAGE_READWRITE, 0,
                                      sectionSize, target->sectionName);
  int existed = section && GetLastError() == ERROR_ALREADY_EXISTS;
  releaseSectionSecurity(attributes);
  unsigned char *view = NULL;
  if (section) {
    mappingHandle = section;
    if (!existed || isOwnSection(section, sectionLevel())) {
      view = (unsigned char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
    }
  }
  // A section still held by other processes keeps the size it was made
  // with, whatever this call asked for.
  uint32_t viewSize = mappedViewSize(view);
  uint32_t room = viewSize > IMAGE_TRAILER_SIZE ? viewSize - IMAGE_TRAILER_SIZE : 0;
  uint32_t capacity = existed ? room : (size <= room ? size : 0);
  if (view && used <= capacity && (!existed || isCommittedView(view, viewSize))) {
    imageBase = view;
    imageHeader = view;
    imageSize = capacity;
    imageTrailer = view + viewSize - IMAGE_TRAILER_SIZE;
    imageWritable = 1;
    beginImageRewrite();
    copyImageInto(view, capacity);
    publishOptions(view + viewSize - IMAGE_TRAILER_SIZE);
    endImageRewrite();
    return 1;
  }
  // No section, no view, or no room: one report for all three.
  if (view) UnmapViewOfFile(view);
  reportPublishFailure(target);
  return 0;
}

void mapPublishedImage(void) {
  mappingHandle = OpenFileMappingA(FILE_MAP_READ | READ_CONTROL, FALSE, publishedSectionName);
  sectionVerified = 0;
  imageBase =
      mappingHandle ? (unsigned char *)MapViewOfFile(mappingHandle, FILE_MAP_READ, 0, 0, 0) : NULL;
  imageHeader = imageBase;
  uint32_t viewSize = mappedViewSize(imageBase);
  imageSize = viewSize > IMAGE_TRAILER_SIZE ? viewSize - IMAGE_TRAILER_SIZE : 0;
  imageTrailer = imageSize ? imageBase + imageSize : NULL;
  imageWritable = 0;
  // An image that fails the check is no configuration at all: the hooks
  // then pass every message on. A view with pages only reserved would
  // fault on the check's first read.
  if (imageBase &&
      (!isCommittedView(imageBase, viewSize) || !validateImage(imageBase, imageSize))) {
    releaseConfiguration();
  }
  takePublishedOptions();
}
