// The names the INI file uses for events, hit-test areas and policies, and
// the scan of the file's section names. All compared exactly and
// case-sensitively.
#pragma once

#include <stdint.h>

#include "config/image_layout.h"

extern "C" {

// Hit-test code of a hit-test name, or -1 (any).
int hitTestCodeFromName(const char *name);

// MinimizedPolicy of a policy name: 1 "Skip", 2 "Restore", otherwise 0.
int minimizedPolicyFromName(const char *name);

// During a compile: points the header slot of `eventName` at `listOffset`,
// or, for an event without one, sets its bit in that list's claimed events;
// ignores null, empty, ';'-commented and unknown names.
void setEventListSlot(const char *eventName, ImageOffset listOffset);

// 1 when the double-NUL-terminated list `names` holds an entry equal to
// `name`, else 0.
int sectionNameListContains(const char *names, const char *name);

}  // extern "C"

// The events that have a list: those with a header slot, in header order
// (index below HEADER_EVENT_SLOT_COUNT), then the claimed events in the
// order of their bits (index HEADER_EVENT_SLOT_COUNT + bit).
int eventSlotCount(void);
const char *eventSlotName(int index);
// For an index that has a header slot.
uint32_t eventSlotHeaderOffset(int index);
// The list of this process's image that takes event `index`, or -1.
ImageOffset eventSlotList(int index);

// The index of the event called exactly `name`, or -1 (also for NULL).
int eventSlotIndex(const char *name);

// The set of modifier keys (KEY_*) that a Keys value names, with
// KEYS_NAMED: "Shift", "Ctrl", "Alt" and "Win" joined by '+', or "None". A
// name that is none of these adds KEYS_UNKNOWN. `names` is cut up in place.
int keysFromNames(char *names);

// The name of modifier key `index` (0 Shift, 1 Ctrl, 2 Alt, 3 Win, 4 None),
// or NULL; key `index` below 4 is the bit 1 << index.
const char *keyName(int index);

// The name of hit-test code `code` (0 to 21), or NULL.
const char *hitTestName(int code);
