#include "image_report.h"

#include <windows.h>

#include "config/image_access.h"
#include "config/loader_state.h"
#include "config/name_tables.h"
#include "console_text.h"
#include "image_chains.h"
#include "match_reasons.h"

namespace {

const char *policyName(int32_t policy) {
  switch (policy) {
    case POLICY_SKIP:
      return "Skip";
    case POLICY_RESTORE:
      return "Restore";
    default:
      return NULL;
  }
}

const char *conditionName(int32_t condition) {
  switch (condition) {
    case FOREGROUND_NONE:
      return "";
    case FOREGROUND_ONLY:
      return " when foreground";
    case FOREGROUND_NOT:
      return " when not foreground";
    default:
      return " (commented out: never holds)";
  }
}

const char *text(ImageOffset offset) {
  const char *value = imageString(offset);
  return value ? value : "<outside the image>";
}

void printOptions(FILE *out) {
  consolePrintf(out,
                "options: UseWH_CALLWNDPROC=%d MBUTTONUP.MoveProtect=%d LBUTTONUP.MoveProtect=%d\n",
                (int)useCallWndProcRetHook, (int)mbuttonUpMoveProtect, (int)lbuttonUpMoveProtect);
  consolePrintf(out, "         XMouseMode=%d MaskXMOUSEOnMOUSEMOVE=%d\n", (int)xmouseMode,
                (int)maskXmouseOnMove);
}

void printEvents(FILE *out) {
  consolePrintf(out, "events:\n");
  for (int slot = 0; slot < eventSlotCount(); ++slot) {
    ImageOffset list = eventSlotList(slot);
    if (list == NO_OFFSET) {
      consolePrintf(out, "  %-16s (none: the click passes)\n", eventSlotName(slot));
    } else {
      consolePrintf(out, "  %-16s List%d\n", eventSlotName(slot), listNumberOf(list));
    }
  }
  ImageOffset mask = imageField(HEADER_MASKXMOUSE_MATCH);
  if (mask != NO_OFFSET) {
    consolePrintf(out, "  MaskXMOUSE match \"%s\"\n", text(imageRecordField(mask, MATCH_NAME)));
  }
}

void printRule(FILE *out, ImageOffset list, int entry) {
  const char *action = text(imageRecordField(list, listEntryField(LIST_ACTION, entry)));
  const char *policy = policyName(imageRecordField(list, listEntryField(LIST_POLICY, entry)));
  if (entry == 0) {
    consolePrintf(out, "    default: \"%s\"", action);
  } else {
    ImageOffset match = imageRecordField(list, listEntryField(LIST_MATCH, entry));
    int32_t condition = imageRecordField(list, listEntryField(LIST_FOREGROUND, entry));
    consolePrintf(out, "    %d. match \"%s\"%s: \"%s\"", entry,
                  text(imageRecordField(match, MATCH_NAME)), conditionName(condition), action);
  }
  if (policy) consolePrintf(out, ", if next is minimized: %s", policy);
  consolePrintf(out, "\n");
}

void printLists(FILE *out) {
  std::vector<ImageOffset> lists = loadedLists();
  for (int number = 1; number <= (int)lists.size(); ++number) {
    ImageOffset list = lists[number - 1];
    consolePrintf(out, "List%d:\n", number);
    int32_t count = imageRecordField(list, LIST_COUNT);
    for (int entry = 1; entry <= count && entry <= LIST_MAX_RULES; ++entry) {
      printRule(out, list, entry);
    }
    printRule(out, list, 0);
  }
}

void printPattern(FILE *out, ImageOffset match, int p) {
  consolePrintf(out, "    %d.", p);
  const char *labels[MATCH_CLASS_ARRAY_COUNT] = {"invoked", "active", "parent"};
  int conditions = 0;
  for (int which = 0; which < MATCH_CLASS_ARRAY_COUNT; ++which) {
    uint32_t array = MATCH_CLASS_ARRAYS[which];
    const char *name = text(imageRecordField(match, matchPatternField(array, p)));
    if (name[0]) {
      consolePrintf(out, " %s class \"%s\"", labels[which], name);
      ++conditions;
    }
  }
  int32_t hitTest = imageRecordField(match, matchPatternField(MATCH_HIT_TEST, p));
  if (hitTest >= 0) {
    consolePrintf(out, " hit-test %s", hitTestName(hitTest) ? hitTestName(hitTest) : "?");
  }
  ImageOffset extras = imageRecordField(match, MATCH_EXTRAS);
  int32_t keys = extras > 0 ? imageRecordField(extras, extrasPatternField(p, EXTRAS_KEYS)) : 0;
  if (keys) {
    consolePrintf(out, " keys %s", keysText(keys).c_str());
    ++conditions;
  }
  const char *extraLabels[] = {"program", "title"};
  for (int which = 0; which < 2 && extras > 0; ++which) {
    int32_t wanted = imageRecordField(extras, extrasPatternField(p, 4u * (uint32_t)(which + 1)));
    if (!wanted) continue;
    consolePrintf(out, " %s \"%s\"", extraLabels[which], text(wanted));
    ++conditions;
  }
  if (hitTest < 0 && !conditions) {
    consolePrintf(out, " (empty: matches nothing)");
  }
  consolePrintf(out, "\n");
}

void printMatches(FILE *out) {
  for (ImageOffset match : loadedMatches()) {
    const char *name = text(imageRecordField(match, MATCH_NAME));
    int32_t count = imageRecordField(match, MATCH_PATTERN_COUNT);
    if (name[0] == '\0') {
      consolePrintf(out, "Match \"\": matches every window\n");
      continue;
    }
    consolePrintf(out, "Match \"%s\": %d pattern%s\n", name, (int)count, count == 1 ? "" : "s");
    for (int p = 1; p <= count && p <= MATCH_MAX_PATTERNS; ++p) printPattern(out, match, p);
  }
}

}  // namespace

void printImageReport(FILE *out) {
  consolePrintf(out, "image: %u bytes\n", (unsigned)imageSize);
  printOptions(out);
  printEvents(out);
  printLists(out);
  printMatches(out);
}
