// Reading this process's ConfigImage in place. Every read is checked
// against the size of the view, so that no offset, however damaged, makes a
// hook read outside the image: a field out of range reads as -1 and a
// string out of range (or without its NUL inside the view) as none.
#pragma once

#include <stdint.h>

#include "config/image_layout.h"

// The 32-bit field at `offset` of this process's image, or -1 when the four
// bytes do not lie inside it.
int32_t imageField(ImageOffset offset);

// The field at `offset` + `fieldOffset` (a record's field); -1 when the
// record offset is -1 or the field lies outside the image.
int32_t imageRecordField(ImageOffset record, uint32_t fieldOffset);

// The NUL-terminated string at `offset`, or NULL for -1, an offset outside
// the image or a string whose NUL lies beyond it or beyond IMAGE_MAX_STRING
// characters. The text stays in the shared image: to compare it, copy it.
const char *imageString(ImageOffset offset);

// Copies the string at `offset` into `buffer` (IMAGE_STRING_SPAN bytes),
// reading each byte of the image once; 1 when it was a string as
// imageString would find it, else 0 with `buffer` empty.
int copyImageString(ImageOffset offset, char *buffer);

// The list that takes the claimed event of bit `bit` (VORN_CLAIMED_EVENTS):
// the last list of the chain whose mask has the bit, or -1 when none has.
ImageOffset claimedEventList(int bit);
