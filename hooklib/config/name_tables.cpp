#include "config/name_tables.h"

#include <windows.h>

#include "config/image_builder.h"

namespace {

// Indexed by hit-test code.
const char *const hitTestNames[] = {
    "NOWHERE", "CLIENT",  "CAPTION", "SYSMENU",    "GROWBOX", "MENU",        "HSCROLL", "VSCROLL",
    "MINBUTTON", "MAXBUTTON", "LEFT", "RIGHT",     "TOP",     "TOPLEFT",     "TOPRIGHT", "BOTTOM",
    "BOTTOMLEFT", "BOTTOMRIGHT", "BORDER", "OBJECT", "CLOSE", "HELP",
};

// In header order: the event at index i has the slot at
// HEADER_SLOT_LBUTTONDOWN + 4 * i.
const char *const eventNames[HEADER_EVENT_SLOT_COUNT] = {
    "LBUTTONDOWN", "NCLBUTTONDOWN", "LBUTTONUP", "NCLBUTTONUP", "LBUTTONDBLCLK", "NCLBUTTONDBLCLK",
    "MBUTTONDOWN", "NCMBUTTONDOWN", "MBUTTONUP", "NCMBUTTONUP", "RBUTTONDOWN",   "NCRBUTTONDOWN",
};
static_assert(HEADER_SLOT_NCLBUTTONUP == HEADER_SLOT_LBUTTONDOWN + 4 * 3 &&
                  HEADER_SLOT_MBUTTONDOWN == HEADER_SLOT_LBUTTONDOWN + 4 * 6 &&
                  HEADER_SLOT_NCRBUTTONDOWN == HEADER_SLOT_LBUTTONDOWN + 4 * 11,
              "the event slots follow each other in the order of eventNames");

}  // namespace

extern "C" int hitTestCodeFromName(const char *name) {
  if (!name) return -1;
  for (int code = 0; code < (int)(sizeof hitTestNames / sizeof hitTestNames[0]); ++code) {
    if (lstrcmpA(name, hitTestNames[code]) == 0) return code;
  }
  return -1;
}

extern "C" int minimizedPolicyFromName(const char *name) {
  if (!name) return POLICY_NONE;
  if (lstrcmpA(name, "Skip") == 0) return POLICY_SKIP;
  if (lstrcmpA(name, "Restore") == 0) return POLICY_RESTORE;
  return POLICY_NONE;
}

extern "C" void setEventListSlot(const char *eventName, ImageOffset listOffset) {
  if (!eventName || eventName[0] == '\0' || eventName[0] == ';') return;
  int index = eventSlotIndex(eventName);
  if (index >= 0) builderWriteInt(eventSlotHeaderOffset(index), listOffset);
}

extern "C" int sectionNameListContains(const char *names, const char *name) {
  if (!names || !name) return 0;
  for (const char *entry = names; *entry; entry += lstrlenA(entry) + 1) {
    if (lstrcmpA(entry, name) == 0) return 1;
  }
  return 0;
}

int eventSlotCount(void) { return HEADER_EVENT_SLOT_COUNT; }

const char *eventSlotName(int index) { return eventNames[index]; }

uint32_t eventSlotHeaderOffset(int index) { return HEADER_SLOT_LBUTTONDOWN + 4u * (uint32_t)index; }

int eventSlotIndex(const char *name) {
  if (!name) return -1;
  for (int index = 0; index < eventSlotCount(); ++index) {
    if (lstrcmpA(name, eventNames[index]) == 0) return index;
  }
  return -1;
}

const char *hitTestName(int code) {
  if (code < 0 || code >= (int)(sizeof hitTestNames / sizeof hitTestNames[0])) return NULL;
  return hitTestNames[code];
}
