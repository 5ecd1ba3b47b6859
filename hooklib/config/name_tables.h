// The event and hit-test name tables, for code that lists or explains them.
#pragma once

#include <stdint.h>

// The twelve events that have a header slot, in header order.
int eventSlotCount(void);
const char *eventSlotName(int index);
uint32_t eventSlotHeaderOffset(int index);

// The index of the event called exactly `name`, or -1 (also for NULL).
int eventSlotIndex(const char *name);

// The name of hit-test code `code` (0 to 21), or NULL.
const char *hitTestName(int code);
