// The lstr* family: NUL-terminated ANSI strings, as KERNEL32 provides them.
#include <windows.h>

#include <string.h>
#include <strings.h>

extern "C" {

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
  if (!a) a = "";
  if (!b) b = "";
  int result = strcmp(a, b);
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
  if (!a) a = "";
  if (!b) b = "";
  int result = strcasecmp(a, b);
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

int WINAPI lstrlenA(LPCSTR s) { return s ? (int)strlen(s) : 0; }

LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src) {
  if (!dst || !src) return NULL;
  return strcpy(dst, src);
}

LPSTR WINAPI lstrcpynA(LPSTR dst, LPCSTR src, int size) {
  if (!dst || !src || size <= 0) return dst;
  int i = 0;
  for (; i < size - 1 && src[i]; ++i) dst[i] = src[i];
  dst[i] = '\0';
  return dst;
}

LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src) {
  if (!dst || !src) return NULL;
  return strcat(dst, src);
}

}  // extern "C"
