// MatchRecords, compiled from the file's `Match.<name>` sections.
#pragma once

#include "config/image_layout.h"

extern "C" {

// During a compile: the MatchRecord named exactly `name`, made from section
// `Match.<name>` when it does not exist yet.
ImageOffset findOrCreateMatch(const char *name);

}  // extern "C"
