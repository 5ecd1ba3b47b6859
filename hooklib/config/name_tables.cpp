#include "config/name_tables.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/image_builder.h"
#include "system/name_lists.h"

namespace {

// Indexed by hit-test code, 0 to 21.
const char hitTestNames[] =
    "NOWHERE\0CLIENT\0CAPTION\0SYSMENU\0GROWBOX\0MENU\0HSCROLL\0VSCROLL\0MINBUTTON\0"
    "MAXBUTTON\0LEFT\0RIGHT\0TOP\0TOPLEFT\0TOPRIGHT\0BOTTOM\0BOTTOMLEFT\0BOTTOMRIGHT\0"
    "BORDER\0OBJECT\0CLOSE\0HELP\0";

// Indexed by bit number; "None" names no key.
const char keyNames[] = "Shift\0Ctrl\0Alt\0Win\0None\0";
enum { KEY_NAME_NONE = 4 };

// In header order: the event at index i has the slot at
// HEADER_SLOT_LBUTTONDOWN + 4 * i; HEADER_EVENT_SLOT_COUNT of them. Then
// the claimed events, in the order of their bits.
#define EVENT_NAME(name, message, offset) #name "\0"
#define CLAIMED_NAME(name, message) #name "\0"
const char eventNames[] = VORN_EVENT_SLOTS(EVENT_NAME) VORN_CLAIMED_EVENTS(CLAIMED_NAME);
#undef EVENT_NAME
#undef CLAIMED_NAME

// eventSlotHeaderOffset counts on it.
#define EVENT_OFFSET(name, message, offset) offset,
constexpr uint32_t EVENT_OFFSETS[] = {VORN_EVENT_SLOTS(EVENT_OFFSET)};
#undef EVENT_OFFSET

constexpr bool slotsFollowEachOther(int index) {
  return index == HEADER_EVENT_SLOT_COUNT ||
         (EVENT_OFFSETS[index] == HEADER_SLOT_LBUTTONDOWN + 4u * (uint32_t)index &&
          slotsFollowEachOther(index + 1));
}
static_assert(slotsFollowEachOther(0), "the event slots follow each other in header order");

}  // namespace

extern "C" int hitTestCodeFromName(const char *name) { return nameListIndex(hitTestNames, name); }

// Policies 1 and 2 follow their names' positions; anything else is none.
extern "C" int minimizedPolicyFromName(const char *name) {
  return nameListIndex("Skip\0Restore\0", name) + 1;
}

extern "C" void setEventListSlot(const char *eventName, ImageOffset listOffset) {
  if (!eventName || eventName[0] == '\0' || eventName[0] == ';') return;
  int index = eventSlotIndex(eventName);
  if (index < 0) return;
  if (index < HEADER_EVENT_SLOT_COUNT) {
    builderWriteInt(eventSlotHeaderOffset(index), listOffset);
    return;
  }
  uint32_t mask = (uint32_t)listOffset + LIST_CLAIMED_EVENTS;
  builderWriteInt(mask, builderReadInt(mask) | 1 << (index - HEADER_EVENT_SLOT_COUNT));
}

extern "C" int sectionNameListContains(const char *names, const char *name) {
  return nameListIndex(names, name) >= 0;
}

int eventSlotCount(void) { return LIST_EVENT_COUNT; }

const char *eventSlotName(int index) { return nameListAt(eventNames, index); }

uint32_t eventSlotHeaderOffset(int index) { return HEADER_SLOT_LBUTTONDOWN + 4u * (uint32_t)index; }

ImageOffset eventSlotList(int index) {
  if (index < HEADER_EVENT_SLOT_COUNT) return imageField((ImageOffset)eventSlotHeaderOffset(index));
  return claimedEventList(index - HEADER_EVENT_SLOT_COUNT);
}

int eventSlotIndex(const char *name) { return nameListIndex(eventNames, name); }

const char *hitTestName(int code) { return nameListAt(hitTestNames, code); }

int keysFromNames(char *names) {
  int keys = KEYS_NAMED;
  for (;;) {
    char *end = names;
    while (*end != '+' && *end != '\0') ++end;
    char separator = *end;
    *end = '\0';
    int index = nameListIndex(keyNames, names);
    keys |= index < 0 ? KEYS_UNKNOWN : (1 << index) & ~(1 << KEY_NAME_NONE);
    if (separator == '\0') return keys;
    names = end + 1;
  }
}

const char *keyName(int index) { return nameListAt(keyNames, index); }
