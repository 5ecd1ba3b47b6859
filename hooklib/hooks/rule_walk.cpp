// The rule walk. `satisfied` is cleared once, before the first entry, and
// carried from entry to entry: the conditions of a run of entries with an
// empty action are thereby OR-ed into the entry with an action that ends
// the run. The default rule (entry 0) wins when no numbered entry does,
// whatever its action.
#include "hooks/rule_walk.h"

#include <windows.h>

#include "config/image_access.h"
#include "hooks/match_window.h"
#include "windows/actions.h"

namespace {

int ruleCount(ImageOffset list) {
  int count = imageRecordField(list, LIST_COUNT);
  return count > LIST_MAX_RULES ? LIST_MAX_RULES : count;
}

int entryField(ImageOffset list, uint32_t array, int entry) {
  return imageRecordField(list, listEntryField(array, entry));
}

int foregroundConditionHolds(int condition, ClickFacts *facts) {
  switch (condition) {
    case FOREGROUND_NONE:
      return 1;
    case FOREGROUND_ONLY:
      return isForegroundClick(facts);
    case FOREGROUND_NOT:
      return !isForegroundClick(facts);
    default:
      return 0;
  }
}

// An entry without a match (-1) has no match condition. The foreground
// test is made only for an entry whose match held.
EntryOutcome testConditions(ImageOffset list, int entry, ClickFacts *facts) {
  ImageOffset match = entryField(list, LIST_MATCH, entry);
  if (match != NO_OFFSET && !matchClick(match, facts)) return ENTRY_MATCH_FAILED;
  if (!foregroundConditionHolds(entryField(list, LIST_FOREGROUND, entry), facts)) {
    return ENTRY_FOREGROUND_FAILED;
  }
  return ENTRY_HANDED_ON;
}

// An action name that cannot be read counts as empty: such an entry cannot
// win, and the click goes on as if its action had been left out.
int hasAction(ImageOffset list, int entry) {
  const char *name = entryActionName(list, entry);
  return name != NULL && name[0] != '\0';
}

void record(WalkTrace *trace, int entry, EntryOutcome outcome) {
  if (trace != NULL) trace->outcome[entry] = (unsigned char)outcome;
}

void startTrace(WalkTrace *trace) {
  if (trace == NULL) return;
  for (int entry = 0; entry < LIST_ENTRY_COUNT; ++entry) trace->outcome[entry] = ENTRY_NOT_VISITED;
  trace->satisfiedBy = 0;
}

}  // namespace

ImageOffset entryActionOffset(ImageOffset list, int entry) {
  return entryField(list, LIST_ACTION, entry);
}

const char *entryActionName(ImageOffset list, int entry) {
  return imageString(entryActionOffset(list, entry));
}

int entryAction(ImageOffset list, int entry) {
  char name[IMAGE_STRING_SPAN];
  copyImageString(entryActionOffset(list, entry), name);
  return findAction(name);
}

int entryMinimizedPolicy(ImageOffset list, int entry) {
  return entryField(list, LIST_POLICY, entry);
}

int findWinningEntry(ImageOffset list, ClickFacts *facts, WalkTrace *trace) {
  startTrace(trace);
  int satisfied = 0;
  int count = ruleCount(list);
  for (int entry = 1; entry <= count; ++entry) {
    // Once satisfied is set nothing can clear it: later conditions need not
    // be asked.
    if (!satisfied) {
      EntryOutcome outcome = testConditions(list, entry, facts);
      if (outcome != ENTRY_HANDED_ON) {
        record(trace, entry, outcome);
        continue;
      }
      satisfied = 1;
      if (trace != NULL) trace->satisfiedBy = entry;
    }
    if (hasAction(list, entry)) {
      record(trace, entry, ENTRY_WON);
      return entry;
    }
    record(trace, entry, ENTRY_HANDED_ON);
  }
  return 0;
}
