// Moving a finished image from the scratch buffer into a section.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "config/loader.h"

// This pair's section, which the daemon publishes and every process maps;
// one copy of the name for the library.
extern const char publishedSectionName[];

// Creates (or, for a name still held elsewhere, opens) the section, maps it
// writable and copies the image in, header last. Sets mappingHandle,
// imageBase, imageHeader and imageSize. The section gets the larger of
// `ruleSize` and the image's size; an existing section keeps its own size
// and is used only when the image fits. 1 on success; on failure reports as
// `target` says and returns 0.
int publishImage(DWORD ruleSize, const CompileTarget *target);

// Maps the section the daemon published, read-only, as every process does
// when the library attaches to it: sets mappingHandle, imageBase,
// imageHeader and imageSize. Without a section they stay null (0); an
// image that fails the check is released at once and counts as none.
void mapPublishedImage(void);

// Writes the Status/Error entry into the INI file when `target` wants it.
void reportPublishFailure(const CompileTarget *target);

// Bytes readable from `view` on, as the system reports them: the section's
// size rounded up to whole pages. 0 for an address that maps nothing.
uint32_t mappedViewSize(const void *view);
