#include "config/status_entry.h"

#include <windows.h>

#include "config/ini_location.h"
#include "config/loader.h"

namespace {

// The lines that may be written, one after the other: an appended section
// takes all of it, a key added to the section from `Error` on, a replaced
// value from its '=' on, without the line break (the old line's stays).
const char entryText[] =
    "[" VORN_STATUS_SECTION "]\r\n" VORN_STATUS_KEY "=" VORN_STATUS_MAPPING_FAILED "\r\n";
const DWORD KEY_AT = sizeof(VORN_STATUS_SECTION) + 3;
const DWORD VALUE_AT = KEY_AT + sizeof(VORN_STATUS_KEY) - 1;
const DWORD ENTRY_END = sizeof(entryText) - 1;
const char *const LINE_BREAK = entryText + ENTRY_END - 2;

// Larger files are not the user's configuration (the loader could never
// map their image either).
const DWORD LARGEST_FILE = 1u << 24;

// The blanks the profile functions trim around names and values.
int isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

int isLineBreak(char c) { return c == '\r' || c == '\n'; }

// Names compare as the profile functions compare them: trimmed, ASCII
// letters in either case (`fold`); values trimmed, exactly.
int sameText(const char *text, DWORD begin, DWORD end, const char *name, int fold) {
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  for (; begin < end; ++begin, ++name) {
    char c = text[begin];
    char n = *name;
    if (fold && c >= 'A' && c <= 'Z') c += 'a' - 'A';
    if (fold && n >= 'A' && n <= 'Z') n += 'a' - 'A';
    if (!n || c != n) return 0;
  }
  return *name == '\0';
}

// Where the new bytes go: the file's [0, at), then entryText's
// [textFrom, ENTRY_END - textShort), then the file's [resumeAt, size);
// `breakFirst` puts a line break before the new text, where the line it
// follows ends the file without one.
struct Edit {
  DWORD at, resumeAt, textFrom, textShort;
  int breakFirst;
};

// Reads the first [Status] section as the profile functions do: lines end
// at CR, LF or CRLF, a NUL ends a line's text, a header is '[' up to its
// last ']'. Windows' profile functions take a UTF-8 byte order mark for
// part of the first line (a header there is then no header), and so does
// this. 0 when the entry is there already with this value.
int planEdit(const char *text, DWORD size, Edit *edit) {
  DWORD line = 0;
  int inSection = 0;
  // Appended at the end by default: the section is missing.
  *edit = Edit{size, size, 0, 0, size > line && !isLineBreak(text[size - 1])};
  while (line < size) {
    DWORD breakAt = line;
    while (breakAt < size && !isLineBreak(text[breakAt])) ++breakAt;
    DWORD next = breakAt;
    if (next < size)
      next += text[next] == '\r' && next + 1 < size && text[next + 1] == '\n' ? 2 : 1;
    DWORD textEnd = line;
    while (textEnd < breakAt && text[textEnd]) ++textEnd;
    DWORD first = line;
    while (first < textEnd && isBlank(text[first])) ++first;
    DWORD close = textEnd;
    while (close > first + 1 && text[close - 1] != ']') --close;
    if (first < textEnd && text[first] == '[' && close > first + 1) {
      if (inSection) break;  // only the first [Status] counts
      inSection = sameText(text, first + 1, close - 1, VORN_STATUS_SECTION, 1);
      if (inSection) *edit = Edit{next, next, KEY_AT, 0, next == breakAt};
    } else if (inSection && first < textEnd) {
      DWORD equals = first;
      while (equals < textEnd && text[equals] != '=') ++equals;
      if (sameText(text, first, equals, VORN_STATUS_KEY, 1)) {
        if (equals < textEnd &&
            sameText(text, equals + 1, textEnd, VORN_STATUS_MAPPING_FAILED, 0)) {
          return 0;
        }
        *edit = Edit{equals, breakAt, VALUE_AT, 2, 0};
        return 1;
      }
      // A key added later goes after the section's last line that is not
      // blank, so that the blank lines before the next section stay there.
      *edit = Edit{next, next, KEY_AT, 0, next == breakAt};
    }
    line = next;
  }
  return 1;
}

int writeAll(HANDLE file, const char *bytes, DWORD count) {
  DWORD written = 0;
  return WriteFile(file, bytes, count, &written, NULL) && written == count;
}

// The new text goes into a file of vorn's own beside the old one, which
// it then replaces in one move. The name is fixed, so that a write cut
// short leaves one file at most, which the next write clears away; the
// new file is made only where nothing is (CREATE_NEW), so that nothing
// put there in its place (a link to another file) is written through.
int replaceFile(const char *path, const char *text, DWORD size, const Edit &edit) {
  // `path` has opened: "In the ANSI version of this function, the name is
  // limited to MAX_PATH characters" (CreateFileA), so the name fits.
  char temporary[MAX_PATH + 12];
  temporary[0] = '\0';
  lstrcatA(lstrcatA(temporary, path), ".vorn-write");
  DeleteFileA(temporary);
  HANDLE file =
      CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 0;
  int done =
      writeAll(file, text, edit.at) && (!edit.breakFirst || writeAll(file, LINE_BREAK, 2)) &&
      writeAll(file, entryText + edit.textFrom, ENTRY_END - edit.textShort - edit.textFrom) &&
      writeAll(file, text + edit.resumeAt, size - edit.resumeAt) && FlushFileBuffers(file);
  if (CloseHandle(file) && done &&
      MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return 1;
  }
  DeleteFileA(temporary);
  return 0;
}

}  // namespace

int writeStatusError(const char *path) {
  // INVALID_FILE_ATTRIBUTES, for a missing file, has the read-only bit
  // too; a folder does not open below.
  if (GetFileAttributesA(path) & FILE_ATTRIBUTE_READONLY) return 0;
  // Read while no other program may write it. It is closed again before
  // the move: Windows replaces no file that is still open. A program that
  // holds it open for writing, or without letting it be read or replaced,
  // keeps it as it is.
  HANDLE file = openConfigurationFile(path);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD size = GetFileSize(file, NULL);
  HANDLE heap = GetProcessHeap();
  char *text = size <= LARGEST_FILE ? (char *)HeapAlloc(heap, 0, size + 1) : NULL;
  DWORD read = 0;
  int whole = text && ReadFile(file, text, size, &read, NULL) && read == size;
  CloseHandle(file);
  int done = 0;
  if (whole) {
    Edit edit;
    done = !planEdit(text, size, &edit) || replaceFile(path, text, size, edit);
  }
  if (text) HeapFree(heap, 0, text);
  return done;
}
