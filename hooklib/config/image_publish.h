// Moving a finished image from the scratch buffer into a section.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "config/loader.h"

// This pair's section, which the daemon publishes and every process maps;
// one copy of the name for the library.
extern const char publishedSectionName[];

// Creates (or, for a name still held elsewhere, opens) the section, maps it
// writable and copies the image in, header last, and the option values the
// hooks read into the trailer behind it. Sets mappingHandle, imageBase,
// imageHeader, imageSize and imageTrailer. The section gets the larger of
// `ruleSize` and the image's size; an existing section keeps its own size
// and is used only when the image fits. 1 on success; on failure reports as
// `target` says and returns 0.
int publishImage(DWORD ruleSize, const CompileTarget *target);

// Maps the section the daemon published, read-only, as every process does
// when the library attaches to it: sets mappingHandle, imageBase,
// imageHeader, imageSize (the view less its trailer) and imageTrailer, and
// takes the published option values. Without a section they stay null (0); an
// image that fails the check is released at once and counts as none.
void mapPublishedImage(void);

// The image's generation, in the trailer behind it: even while the image
// is whole, odd while the daemon rewrites it (a reload into a section that
// hooked programs still hold, or a release). A hook that read a generation
// before its walk and finds the same one after it has read one image,
// whole. 0 without a view.
uint32_t imageGeneration(void);
int imageUnchangedSince(uint32_t generation);

// Around every write into this process's writable view (nothing for a
// read-only one): the generation turns odd, then even again.
void beginImageRewrite(void);
void endImageRewrite(void);

// Copies the option values the daemon published behind the image into
// this process's own (mbuttonUpMoveProtect, lbuttonUpMoveProtect,
// xmouseMode, maskXmouseOnMove); nothing in the daemon's own process,
// where the loader set them, or without a view. Each is one aligned word:
// a reload's new values reach the hooks at their next call.
void takePublishedOptions(void);

// At the start of every mouse hook call: the image's generation, read
// before anything else of the image, and the published option values. At
// the first call in a process that mapped the section read-only, the
// section is checked once: one that the user's daemon did not make (not
// owned by the user, or labelled below Medium, as a sandboxed program's
// would be) is released, and the hooks pass every message on.
uint32_t followPublishedImage(void);

// 1 once this process found its section made by the user's daemon. A
// program that installs an image of its own (the image fuzzer) sets it.
extern int32_t sectionVerified;

// A word of the trailer that only the daemon reads and writes (the handles
// of the hooks it installed), in this process's writable view: 0, and
// nothing written, without one.
int32_t daemonTrailerWord(uint32_t offset);
void setDaemonTrailerWord(uint32_t offset, int32_t value);

// Writes the Status/Error entry into the INI file when `target` wants it.
void reportPublishFailure(const CompileTarget *target);

// Bytes readable from `view` on, as the system reports them: the section's
// size rounded up to whole pages. 0 for an address that maps nothing.
uint32_t mappedViewSize(const void *view);
