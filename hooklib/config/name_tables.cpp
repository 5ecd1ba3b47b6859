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

struct EventSlot {
  const char *name;
  uint32_t headerOffset;
};

const EventSlot eventSlots[] = {
    {"LBUTTONDOWN", HEADER_SLOT_LBUTTONDOWN},       {"NCLBUTTONDOWN", HEADER_SLOT_NCLBUTTONDOWN},
    {"LBUTTONUP", HEADER_SLOT_LBUTTONUP},           {"NCLBUTTONUP", HEADER_SLOT_NCLBUTTONUP},
    {"LBUTTONDBLCLK", HEADER_SLOT_LBUTTONDBLCLK},   {"NCLBUTTONDBLCLK", HEADER_SLOT_NCLBUTTONDBLCLK},
    {"MBUTTONDOWN", HEADER_SLOT_MBUTTONDOWN},       {"NCMBUTTONDOWN", HEADER_SLOT_NCMBUTTONDOWN},
    {"MBUTTONUP", HEADER_SLOT_MBUTTONUP},           {"NCMBUTTONUP", HEADER_SLOT_NCMBUTTONUP},
    {"RBUTTONDOWN", HEADER_SLOT_RBUTTONDOWN},       {"NCRBUTTONDOWN", HEADER_SLOT_NCRBUTTONDOWN},
};

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
  if (index >= 0) builderWriteInt(eventSlots[index].headerOffset, listOffset);
}

extern "C" int sectionNameListContains(const char *names, const char *name) {
  if (!names || !name) return 0;
  for (const char *entry = names; *entry; entry += lstrlenA(entry) + 1) {
    if (lstrcmpA(entry, name) == 0) return 1;
  }
  return 0;
}

int eventSlotCount(void) { return (int)(sizeof eventSlots / sizeof eventSlots[0]); }

const char *eventSlotName(int index) { return eventSlots[index].name; }

uint32_t eventSlotHeaderOffset(int index) { return eventSlots[index].headerOffset; }

int eventSlotIndex(const char *name) {
  if (!name) return -1;
  for (int index = 0; index < eventSlotCount(); ++index) {
    if (lstrcmpA(name, eventSlots[index].name) == 0) return index;
  }
  return -1;
}

const char *hitTestName(int code) {
  if (code < 0 || code >= (int)(sizeof hitTestNames / sizeof hitTestNames[0])) return NULL;
  return hitTestNames[code];
}
