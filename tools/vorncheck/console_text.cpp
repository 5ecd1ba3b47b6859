#include "console_text.h"

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>

#include <vector>

namespace {

// The console behind `out`, or NULL when it is no console (a file, a
// pipe, or a stream of vorncheck's own).
HANDLE consoleOf(FILE *out) {
  DWORD which = out == stdout ? STD_OUTPUT_HANDLE : out == stderr ? STD_ERROR_HANDLE : 0;
  if (!which) return NULL;
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : NULL;
}

}  // namespace

int consolePrintf(FILE *out, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  HANDLE console = consoleOf(out);
  if (!console) {
    int count = vfprintf(out, format, arguments);
    va_end(arguments);
    return count;
  }
  // Grown until the text fits: the C runtime's vsnprintf answers -1, not
  // the length needed, for a buffer too small.
  std::vector<char> text(1024);
  int length = -1;
  while (text.size() <= (1u << 24)) {
    va_list again;
    va_copy(again, arguments);
    length = vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    if (length >= 0 && (size_t)length < text.size()) break;
    text.resize(text.size() * 2);
  }
  va_end(arguments);
  if (length < 0 || (size_t)length >= text.size()) return -1;
  text.resize((size_t)length + 1);
  std::vector<WCHAR> wide(text.size());
  int units =
      MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), wide.data(), (int)wide.size());
  fflush(out);  // what went through the stream before comes first
  DWORD written = 0;
  if (units > 1) WriteConsoleW(console, wide.data(), (DWORD)(units - 1), &written, NULL);
  return length;
}
