// The ConfigImage byte layout: an ImageHeader at offset 0, then the arena of
// ListRecords, MatchRecords and strings. Every field is a little-endian
// 32-bit integer at any byte offset (nothing is aligned), so fields are read
// and written through memcpy, never through a typed pointer.
#pragma once

#include <stdint.h>
#include <string.h>

// An ImageOffset: a byte offset from the image's first byte; -1 is none.
typedef int32_t ImageOffset;
enum { NO_OFFSET = -1 };

// ---- record sizes ----------------------------------------------------------
enum {
  IMAGE_HEADER_SIZE = 60,
  LIST_RECORD_SIZE = 168,
  MATCH_RECORD_SIZE = 588,
};

// ---- ImageHeader field offsets ----------------------------------------------
// The events that have a list slot in the header, in header order: the
// event name a HookN key gives, the mouse message it is (a number here,
// where no system header is included; non-client messages lie below
// WM_MOUSEFIRST, 0x200), and its slot's offset. The table of event names
// (config/name_tables.cpp) and vorncheck's events are made from this list.
#define VORN_EVENT_SLOTS(SLOT)         \
  SLOT(LBUTTONDOWN, 0x0201, 8)         \
  SLOT(NCLBUTTONDOWN, 0x00A1, 12)      \
  SLOT(LBUTTONUP, 0x0202, 16)          \
  SLOT(NCLBUTTONUP, 0x00A2, 20)        \
  SLOT(LBUTTONDBLCLK, 0x0203, 24)      \
  SLOT(NCLBUTTONDBLCLK, 0x00A3, 28)    \
  SLOT(MBUTTONDOWN, 0x0207, 32)        \
  SLOT(NCMBUTTONDOWN, 0x00A7, 36)      \
  SLOT(MBUTTONUP, 0x0208, 40)          \
  SLOT(NCMBUTTONUP, 0x00A8, 44)        \
  SLOT(RBUTTONDOWN, 0x0204, 48)        \
  SLOT(NCRBUTTONDOWN, 0x00A4, 52)

// The events that have no header slot, in the order of their bits: a list
// claims them in a mask of its own (LIST_CLAIMED_EVENTS), and where several
// lists claim one event the last of the chain takes it, as a later list
// takes a header slot. Each client-area event is followed by its non-client
// form, and the second extra button's events follow the first's by four
// bits. The extra buttons' messages are one pair for both buttons; the high
// word of the hook's mouseData tells them apart.
#define VORN_CLAIMED_EVENTS(EVENT) \
  EVENT(RBUTTONUP, 0x0205)         \
  EVENT(NCRBUTTONUP, 0x00A5)       \
  EVENT(MBUTTONDBLCLK, 0x0209)     \
  EVENT(NCMBUTTONDBLCLK, 0x00A9)   \
  EVENT(RBUTTONDBLCLK, 0x0206)     \
  EVENT(NCRBUTTONDBLCLK, 0x00A6)   \
  EVENT(XBUTTON1DOWN, 0x020B)      \
  EVENT(NCXBUTTON1DOWN, 0x00AB)    \
  EVENT(XBUTTON1UP, 0x020C)        \
  EVENT(NCXBUTTON1UP, 0x00AC)      \
  EVENT(XBUTTON2DOWN, 0x020B)      \
  EVENT(NCXBUTTON2DOWN, 0x00AB)    \
  EVENT(XBUTTON2UP, 0x020C)        \
  EVENT(NCXBUTTON2UP, 0x00AC)

#define VORN_HEADER_SLOT(name, message, offset) HEADER_SLOT_##name = offset,
#define VORN_COUNT_SLOT(name, message, offset) +1
enum {
  HEADER_FIRST_LIST = 0,
  HEADER_FIRST_MATCH = 4,
  VORN_EVENT_SLOTS(VORN_HEADER_SLOT)
  HEADER_MASKXMOUSE_MATCH = 56,
  HEADER_FIELD_COUNT = 15,
  HEADER_EVENT_SLOT_COUNT = 0 VORN_EVENT_SLOTS(VORN_COUNT_SLOT),
};
#undef VORN_HEADER_SLOT
#undef VORN_COUNT_SLOT

#define VORN_CLAIMED_BIT(name, message) CLAIMED_BIT_##name,
#define VORN_COUNT_CLAIMED(name, message) +1
enum { VORN_CLAIMED_EVENTS(VORN_CLAIMED_BIT) };
enum {
  CLAIMED_EVENT_COUNT = 0 VORN_CLAIMED_EVENTS(VORN_COUNT_CLAIMED),
  // Every event that has a list: the header's slots, then the claimed ones.
  LIST_EVENT_COUNT = HEADER_EVENT_SLOT_COUNT + CLAIMED_EVENT_COUNT,
  // The second extra button's events follow the first's by this many bits.
  XBUTTON2_BIT_DISTANCE = CLAIMED_BIT_XBUTTON2DOWN - CLAIMED_BIT_XBUTTON1DOWN,
  CLAIMED_EVENTS_ALL = (1 << CLAIMED_EVENT_COUNT) - 1,
};
#undef VORN_CLAIMED_BIT
#undef VORN_COUNT_CLAIMED

// ---- ListRecord field offsets (entry k of an array at offset + 4 * k) ----------
enum {
  LIST_COUNT = 0,
  LIST_MATCH = 4,
  LIST_FOREGROUND = 44,
  LIST_ACTION = 84,
  LIST_POLICY = 124,
  LIST_NEXT = 164,
  // The default rule's ForegroundCondition, which no walk reads (the
  // default rule wins whatever its condition): the mask of the claimed
  // events (VORN_CLAIMED_EVENTS) this list takes, bit i for the i-th. A
  // list that claims none holds 0 there, the condition the default rule
  // has always been given.
  LIST_CLAIMED_EVENTS = LIST_FOREGROUND,
  LIST_MAX_RULES = 9,
  LIST_ENTRY_COUNT = 10,
};

// ---- MatchRecord field offsets (Pattern p of an array at offset + 4 * p) --------
enum {
  MATCH_NAME = 0,
  MATCH_PATTERN_COUNT = 4,
  MATCH_INVOKED_CLASS = 8,
  MATCH_ACTIVE_CLASS = 152,
  MATCH_PARENT_CLASS = 296,
  MATCH_HIT_TEST = 440,
  MATCH_NEXT = 584,
  MATCH_MAX_PATTERNS = 35,
};

// A match may also name the modifier keys held at the click, the program
// that owns the window under the pointer and the title of its root parent.
// A MatchRecord has no room for them in its Pattern arrays, so they live in
// a record of their own, reached through a field that no Pattern uses:
// Pattern 0's Invoked class (offset 8). A loader writes it only for a match
// whose Patterns name one of them; 0 there (never written) or -1 means
// none. The record holds three fields for each Pattern p = 1 to nPattern,
// at 12 * (p - 1): the keys (KEYS_NAMED with the set's bits), the
// ImageOffset of the program file name and that of the title, each in
// upper case; 0 in a field names nothing (no string lies at offset 0).
enum {
  MATCH_EXTRAS = MATCH_INVOKED_CLASS,
  EXTRAS_KEYS = 0,
  EXTRAS_PROGRAM = 4,
  EXTRAS_TITLE = 8,
  EXTRAS_PATTERN_SIZE = 12,
  EXTRAS_FIELD_COUNT = 3,
};

// A set of modifier keys: a bit for each, left and right alike. A name
// that is no key gives KEYS_UNKNOWN, which no click's set ever has;
// KEYS_NAMED marks a stored set, so that "None" is not 0.
enum {
  KEY_SHIFT = 1,
  KEY_CTRL = 2,
  KEY_ALT = 4,
  KEY_WIN = 8,
  KEYS_UNKNOWN = 16,
  KEYS_NAMED = 32,
  KEYS_NOT_READ = -1,
};

// Offset of Pattern p's field `field` in a match's extras record.
inline uint32_t extrasPatternField(int pattern, uint32_t field) {
  return EXTRAS_PATTERN_SIZE * (uint32_t)(pattern - 1) + field;
}

// A MatchRecord's three class-name arrays, in the order a Pattern names its
// windows: the window under the pointer, its click target, its root parent.
enum { MATCH_CLASS_ARRAY_COUNT = 3 };
const uint32_t MATCH_CLASS_ARRAYS[MATCH_CLASS_ARRAY_COUNT] = {
    MATCH_INVOKED_CLASS,
    MATCH_ACTIVE_CLASS,
    MATCH_PARENT_CLASS,
};

// The most records of each kind a loader makes: one list for each section
// List1 to List9, and one match for the mask plus one for each rule. A
// longer chain is damage, or a loop.
enum {
  IMAGE_MAX_LISTS = 9,
  IMAGE_MAX_MATCHES = 1 + IMAGE_MAX_LISTS * LIST_MAX_RULES,
};

// Longest string the image holds, before its NUL: the loader reads every
// value into 256 bytes. A reader looks at no more than that for one string,
// so that no image, however made, costs more than this per string.
enum {
  IMAGE_MAX_STRING = 255,
  IMAGE_STRING_SPAN = IMAGE_MAX_STRING + 1,
};

// ---- the trailer ---------------------------------------------------------------
// The last bytes of the section's view (whole pages), behind every byte of
// the image: the option values the hooks read, which must reach every
// process from where only the daemon writes, the image's generation
// (image_publish.h), and the handles of the hooks the daemon installed,
// which only the next daemon reads. Readers know the view's size, not the
// image's, so the trailer is found from the view's end; the image never
// reaches it.
enum {
  TRAILER_GENERATION = 0,
  TRAILER_MBUTTONUP_MOVE_PROTECT = 4,
  TRAILER_LBUTTONUP_MOVE_PROTECT = 8,
  TRAILER_XMOUSE_MODE = 12,
  TRAILER_MASK_XMOUSE_ON_MOVE = 16,
  TRAILER_MOUSE_HOOK = 20,
  TRAILER_GET_MESSAGE_HOOK = 24,
  TRAILER_CALL_WND_PROC_RET_HOOK = 28,
  IMAGE_TRAILER_SIZE = 32,
  // An option value that has no trailer word: only the daemon reads it.
  DAEMON_ONLY = IMAGE_TRAILER_SIZE,
};

// ForegroundCondition values.
enum {
  FOREGROUND_NONE = 0,
  FOREGROUND_ONLY = 1,
  FOREGROUND_NOT = 2,
  // Given to a rule whose N.Match is commented out: a condition that never
  // holds, so the rule is passed over as if it were not there.
  FOREGROUND_NEVER = 3,
};

// MinimizedPolicy values.
enum {
  POLICY_NONE = 0,
  POLICY_SKIP = 1,
  POLICY_RESTORE = 2,
};

// Reads the little-endian 32-bit field at byte `offset` of `base`.
inline int32_t readImageInt(const unsigned char *base, uint32_t offset) {
  uint32_t value;
  memcpy(&value, base + offset, sizeof value);
  return (int32_t)value;  // both targets are little-endian
}

// The length of the string at `text`, of which `available` bytes may be
// read; -1 when no NUL lies within them or within IMAGE_STRING_SPAN bytes.
inline int32_t boundedStringLength(const unsigned char *text, uint32_t available) {
  uint32_t span = available < (uint32_t)IMAGE_STRING_SPAN ? available : (uint32_t)IMAGE_STRING_SPAN;
  const unsigned char *end = (const unsigned char *)memchr(text, '\0', span);
  return end ? (int32_t)(end - text) : -1;
}

// Writes `value` as the little-endian 32-bit field at byte `offset` of `base`.
inline void writeImageInt(unsigned char *base, uint32_t offset, int32_t value) {
  memcpy(base + offset, &value, sizeof value);
}

// Offset of entry k's field in the per-entry array that starts at `array`.
inline uint32_t listEntryField(uint32_t array, int entry) { return array + 4u * (uint32_t)entry; }

// Offset of Pattern p's field in the per-Pattern array that starts at `array`.
inline uint32_t matchPatternField(uint32_t array, int pattern) {
  return array + 4u * (uint32_t)pattern;
}
