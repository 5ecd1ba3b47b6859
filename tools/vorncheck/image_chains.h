// The record chains of this process's image, as the hooks follow them.
#pragma once

#include <vector>

#include "config/image_layout.h"

// The ListRecords in chain order: List1 first. At most IMAGE_MAX_LISTS.
std::vector<ImageOffset> loadedLists();

// The MatchRecords in chain order. At most IMAGE_MAX_MATCHES.
std::vector<ImageOffset> loadedMatches();

// The number of the list at `list` in the chain (List1 is 1); 0 when it is
// none of them.
int listNumberOf(ImageOffset list);
