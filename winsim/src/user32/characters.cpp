// Letter case and character steps in the ANSI code page. winsim's ANSI
// code page is Windows-1252 as far as it agrees with Latin-1 (see
// kernel32/code_page.cpp): a single-byte code page, whose lower-case
// letters are a-z and 0xE0-0xFE except 0xF7 (the division sign), each 0x20
// above its capital; 0xFF (y with diaeresis) has its capital at 0x9F.
#include <windows.h>

namespace {

char upperCase(char character) {
  unsigned char c = (unsigned char)character;
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return (char)(c - 0x20);
  if (c == 0xFF) return (char)0x9F;
  return character;
}

}  // namespace

extern "C" {

// "Converts lowercase characters in a buffer to uppercase characters. The
// function converts the characters in place." It returns the number of
// characters processed, NULs included.
DWORD WINAPI CharUpperBuffA(LPSTR text, DWORD length) {
  if (!text) return 0;
  for (DWORD i = 0; i < length; ++i) text[i] = upperCase(text[i]);
  return length;
}

// "If the high-order word of this parameter is zero, the low-order word
// must contain a single character to be converted"; otherwise it is a
// NUL-terminated string, converted in place, and returned.
LPSTR WINAPI CharUpperA(LPSTR text) {
  if (((uintptr_t)text >> 16) == 0)
    return (LPSTR)(uintptr_t)(unsigned char)upperCase((char)(uintptr_t)text);
  for (char *c = text; *c != '\0'; ++c) *c = upperCase(*c);
  return text;
}

// In a single-byte code page the next character is the next byte; at the
// terminating NUL the text itself is returned.
LPSTR WINAPI CharNextA(LPCSTR text) {
  if (!text) return NULL;
  return (LPSTR)(*text != '\0' ? text + 1 : text);
}

}  // extern "C"
