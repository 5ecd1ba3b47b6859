#include "program_folder.h"

#include <windows.h>

namespace {

struct WideFunctions {
  DWORD(WINAPI *GetModuleFileNameW)(HMODULE module, LPWSTR buffer, DWORD size);
  DWORD(WINAPI *GetShortPathNameW)(LPCWSTR longPath, LPWSTR shortPath, DWORD size);
  int(WINAPI *WideCharToMultiByte)(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength,
                                   LPSTR bytes, int byteLength, LPCSTR defaultChar,
                                   LPBOOL usedDefault);
};

// Through void *: each function has a type of its own behind FARPROC.
template <typename Function>
int find(HMODULE kernel, const char *name, Function *function) {
  *function = (Function)(void *)GetProcAddress(kernel, name);
  return *function != NULL;
}

int findWideFunctions(WideFunctions *functions) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return 0;
  int found = find(kernel, "GetModuleFileNameW", &functions->GetModuleFileNameW);
  found &= find(kernel, "GetShortPathNameW", &functions->GetShortPathNameW);
  found &= find(kernel, "WideCharToMultiByte", &functions->WideCharToMultiByte);
  return found;
}

// `wide` in the ANSI code page into `ansi` (MAX_PATH bytes): 1 when every
// character is there (no best fit, which would name another file), 0 when
// one is not (then `ansi` has '?' for it) or it does not fit. UTF-8 as the
// ANSI code page takes neither the flag nor the question and has every
// character: it is asked again without them.
int toAnsi(const WideFunctions &f, const WCHAR *wide, char *ansi) {
  BOOL lossy = FALSE;
  if (f.WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, ansi, MAX_PATH, NULL, &lossy)) {
    return !lossy;
  }
  return f.WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, NULL, NULL) != 0;
}

}  // namespace

int programFolderFile(const char *file, char *path, char *shown) {
  WideFunctions f;
  if (!findWideFunctions(&f)) return 0;
  WCHAR wide[MAX_PATH];
  DWORD length = f.GetModuleFileNameW(NULL, wide, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  DWORD folder = 0;
  for (DWORD i = 0; i < length; ++i) {
    if (wide[i] == '\\' || wide[i] == '/') folder = i;
  }
  if (!folder) return 0;
  // The separator stays only before a file's name.
  DWORD at = file[0] ? folder + 1 : folder;
  for (const char *c = file; *c; ++c) {
    if (at >= MAX_PATH - 1) return 0;
    wide[at++] = (WCHAR)(unsigned char)*c;  // vorn's own names are ASCII
  }
  wide[at] = 0;
  // As the A functions convert: the default flags, best fit and '?'.
  if (shown && !f.WideCharToMultiByte(CP_ACP, 0, wide, -1, shown, MAX_PATH, NULL, NULL)) return 0;
  if (toAnsi(f, wide, path)) return 1;
  DWORD shortLength = f.GetShortPathNameW(wide, wide, MAX_PATH);
  return shortLength != 0 && shortLength < MAX_PATH && toAnsi(f, wide, path);
}
