// The image under construction. A compile writes records and strings into a
// private scratch buffer with the image's exact layout; only when it is
// complete is the image copied into the shared section, so that no reader
// can follow a half-written image and the section can be sized to fit.
#pragma once

#include "config/image_layout.h"

// Starts an empty image: the header with all 15 fields -1 and the arena
// cursor at offset 60. 0 when no memory could be had.
int builderStart(void);

// Frees the scratch buffer.
void builderDiscard(void);

// 1 while the image is complete, 0 after a placement failed for want of
// memory or room (the compile must then fail).
int builderIntact(void);

// Bytes used so far (header and arena).
uint32_t builderUsed(void);

// The scratch image's first byte (valid until the next placement).
const unsigned char *builderBytes(void);

// Places a record of `size` zero bytes at the cursor; its offset, or -1.
ImageOffset builderPlaceRecord(uint32_t size);

// Places a copy of `text` with its NUL at the cursor; its offset, or -1.
ImageOffset builderPlaceString(const char *text);

// Reads and writes 32-bit fields of the scratch image.
int32_t builderReadInt(uint32_t offset);
void builderWriteInt(uint32_t offset, int32_t value);

// The NUL-terminated string at `offset` of the scratch image.
const char *builderString(ImageOffset offset);
