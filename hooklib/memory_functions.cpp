// The memory functions that the library's code calls, and that the
// compiler calls itself for larger copies and fills. The C runtime would
// bring them; the DLL links none, so that a hooked process pays for no
// runtime start-up. Built only into the DLL (elsewhere the runtime's own
// serve), and compiled so that the compiler does not turn these loops
// back into calls of the functions they define.
#include <stddef.h>

extern "C" {

void *memcpy(void *destination, const void *source, size_t count) {
  unsigned char *to = (unsigned char *)destination;
  const unsigned char *from = (const unsigned char *)source;
  while (count-- > 0) *to++ = *from++;
  return destination;
}

void *memset(void *destination, int value, size_t count) {
  unsigned char *to = (unsigned char *)destination;
  while (count-- > 0) *to++ = (unsigned char)value;
  return destination;
}

void *memchr(const void *block, int value, size_t count) {
  const unsigned char *at = (const unsigned char *)block;
  for (; count > 0; ++at, --count) {
    if (*at == (unsigned char)value) return (void *)at;
  }
  return NULL;
}

}  // extern "C"
