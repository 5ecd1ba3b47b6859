// The lstr* family: NUL-terminated ANSI strings, as KERNEL32 provides them.
// Nothing here allocates: the hook library compares class names with
// these functions on every mouse message.
//
// lstrcmpA and lstrcmpiA order strings the way Windows' word sort does,
// level by level, each level deciding only when all earlier ones tie:
//   1. alphabetic: control characters, '\'' and '-' are left out; the
//      other punctuation sorts before digits, digits before letters, and
//      letters by their base letter (a, A, and the accented forms alike);
//   2. accents: an unaccented letter before an accented one;
//   3. case (lstrcmpA only): lower case before upper case;
//   4. the characters left out at level 1: a string with more of them, or
//      with one earlier, sorts later.
// Only identical strings (or, for lstrcmpiA, strings that differ in case
// alone) compare equal.
#include <windows.h>

#include <string.h>

namespace {

enum CharacterGroup { GROUP_IGNORED, GROUP_PUNCTUATION, GROUP_DIGIT, GROUP_LETTER };

// Punctuation in Windows' order: white space first, then the rest; the
// order '+', '<', '=', '>' after '~' is Windows' own.
const char PUNCTUATION_ORDER[] = " \t\n\v\f\r!\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

// Windows-1252 letters 0xC0-0xFF, by base letter; ' ' marks the two
// symbols in that range (multiplication and division signs).
const char LATIN1_BASE_LETTERS[] =
    "aaaaaaaceeeeiiiidnooooo ouuuuytsaaaaaaaceeeeiiiidnooooo ouuuuyty";
const unsigned char LATIN1_FIRST_LOWER = 0xDF;  // 0xC0-0xDE are upper case

struct Weight {
  CharacterGroup group;
  int primary;  // order within the group
  int accent;   // 0 plain, else the character itself
  int upper;    // 1 for an upper-case letter
};

bool isIgnored(unsigned char c) {
  return c == '\'' || c == '-' || c == 0x7F || (c < 0x20 && (c < '\t' || c > '\r'));
}

// The order of the left-out characters among themselves.
int ignoredOrder(unsigned char c) {
  if (c == '\'') return 0x100;
  if (c == '-') return 0x101;
  return c;
}

Weight weightOf(unsigned char c) {
  if (isIgnored(c)) return Weight{GROUP_IGNORED, ignoredOrder(c), 0, 0};
  if (c >= '0' && c <= '9') return Weight{GROUP_DIGIT, c, 0, 0};
  if (c >= 'a' && c <= 'z') return Weight{GROUP_LETTER, c, 0, 0};
  if (c >= 'A' && c <= 'Z') return Weight{GROUP_LETTER, c - 'A' + 'a', 0, 1};
  if (c >= 0xC0 && LATIN1_BASE_LETTERS[c - 0xC0] != ' ') {
    int upper = c < LATIN1_FIRST_LOWER ? 1 : 0;
    return Weight{GROUP_LETTER, LATIN1_BASE_LETTERS[c - 0xC0], c, upper};
  }
  const char *place = c < 0x80 ? strchr(PUNCTUATION_ORDER, c) : NULL;
  int order = place ? (int)(place - PUNCTUATION_ORDER) : 0x100 + c;
  return Weight{GROUP_PUNCTUATION, order, 0, 0};
}

int sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// Moves to the next character that takes part in the first three levels.
const unsigned char *skipIgnored(const unsigned char *s) {
  while (*s && isIgnored(*s)) ++s;
  return s;
}

// Levels 1 to 3 over the characters that are not left out.
int compareLetters(const unsigned char *a, const unsigned char *b, bool caseMatters) {
  int accent = 0;
  int caseOrder = 0;
  for (a = skipIgnored(a), b = skipIgnored(b); *a && *b;
       a = skipIgnored(a + 1), b = skipIgnored(b + 1)) {
    Weight wa = weightOf(*a);
    Weight wb = weightOf(*b);
    if (wa.group != wb.group) return sign(wa.group - wb.group);
    if (wa.primary != wb.primary) return sign(wa.primary - wb.primary);
    if (!accent) accent = sign(wa.accent - wb.accent);
    if (!caseOrder) caseOrder = sign(wa.upper - wb.upper);
  }
  if (*a || *b) return *a ? 1 : -1;
  if (accent) return accent;
  return caseMatters ? caseOrder : 0;
}

// The next left-out character at or after *s, and how many others precede it.
bool nextIgnored(const unsigned char **s, int *position, int *order) {
  for (; **s; ++*s) {
    if (isIgnored(**s)) {
      *order = ignoredOrder(**s);
      ++*s;
      return true;
    }
    ++*position;
  }
  return false;
}

// Level 4: the left-out characters, by where they stand and what they are.
int compareIgnored(const unsigned char *a, const unsigned char *b) {
  int positionA = 0, positionB = 0, orderA = 0, orderB = 0;
  for (;;) {
    bool hasA = nextIgnored(&a, &positionA, &orderA);
    bool hasB = nextIgnored(&b, &positionB, &orderB);
    if (!hasA || !hasB) return hasA ? 1 : hasB ? -1 : 0;
    if (positionA != positionB) return positionA < positionB ? 1 : -1;
    if (orderA != orderB) return sign(orderA - orderB);
  }
}

int compareStrings(LPCSTR a, LPCSTR b, bool caseMatters) {
  if (!a) a = "";
  if (!b) b = "";
  if (strcmp(a, b) == 0) return 0;
  const unsigned char *ua = (const unsigned char *)a;
  const unsigned char *ub = (const unsigned char *)b;
  int result = compareLetters(ua, ub, caseMatters);
  if (result) return result;
  return compareIgnored(ua, ub);
}

}  // namespace

extern "C" {

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return compareStrings(a, b, true); }

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) { return compareStrings(a, b, false); }

int WINAPI lstrlenA(LPCSTR s) { return s ? (int)strlen(s) : 0; }

LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src) {
  if (!dst || !src) return NULL;
  return strcpy(dst, src);
}

// Copies at most size - 1 characters and always ends the copy with a NUL;
// a size of 0 leaves the buffer untouched.
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
