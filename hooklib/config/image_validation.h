// Checking an image before any hook follows its offsets. The section's name
// may be held by a stale image of another version or by a foreign section,
// and every hooked process trusts what it maps.
#pragma once

#include <stdint.h>

// 1 when every offset reachable from the header of the `size` bytes at
// `image` lies inside them, with the record it names, every count is in
// range (rules 0 to 9, Patterns 0 to 35), every string is NUL-terminated
// inside them within IMAGE_MAX_STRING characters, and no chain of records is longer than a loader
// could make.
int validateImage(const unsigned char *image, uint32_t size);
