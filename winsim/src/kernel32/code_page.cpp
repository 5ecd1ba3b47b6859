// WideCharToMultiByte into the ANSI code page. winsim's ANSI code page is
// Windows-1252 as far as it agrees with Latin-1: U+0000-U+007F and
// U+00A0-U+00FF are one byte of the same value; every other character has
// no byte of its own and becomes the default character ('?'), as the
// system does for characters the code page lacks.
#include <windows.h>

namespace {

bool inAnsiCodePage(WCHAR character) {
  return (unsigned)character < 0x80 || ((unsigned)character >= 0xA0 && (unsigned)character <= 0xFF);
}

}  // namespace

extern "C" {

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideLength, LPSTR bytes,
                               int byteLength, LPCSTR defaultChar, LPBOOL usedDefault) {
  if ((codePage != CP_ACP) || !wide || wideLength == 0 || byteLength < 0 ||
      (byteLength > 0 && !bytes)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (wideLength < 0) {
    wideLength = 0;
    while (wide[wideLength]) ++wideLength;
    ++wideLength;  // the NUL too
  }
  if (usedDefault) *usedDefault = FALSE;
  if (byteLength == 0) return wideLength;
  if (byteLength < wideLength) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  char fallback = defaultChar ? defaultChar[0] : '?';
  for (int i = 0; i < wideLength; ++i) {
    bool mapped = inAnsiCodePage(wide[i]);
    bytes[i] = mapped ? (char)wide[i] : fallback;
    if (!mapped && usedDefault) *usedDefault = TRUE;
  }
  return wideLength;
}

// From the ANSI code page: each byte is the character of its value.
int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR bytes, int byteLength, LPWSTR wide,
                               int wideLength) {
  if (codePage != CP_ACP || !bytes || byteLength == 0 || wideLength < 0 ||
      (wideLength > 0 && !wide)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (byteLength < 0) byteLength = lstrlenA(bytes) + 1;  // the NUL too
  if (wideLength == 0) return byteLength;
  if (wideLength < byteLength) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  for (int i = 0; i < byteLength; ++i) wide[i] = (WCHAR)(unsigned char)bytes[i];
  return byteLength;
}

}  // extern "C"
