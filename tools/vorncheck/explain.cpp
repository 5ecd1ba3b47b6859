#include "explain.h"

#include <string.h>

#include "config/image_access.h"
#include "config/loader_state.h"
#include "config/name_tables.h"
#include "hooks/click_facts.h"
#include "hooks/rule_walk.h"
#include "windows/actions.h"

namespace {

const char *orEmpty(const char *text) { return text ? text : ""; }

const char *conditionText(int32_t condition) {
  switch (condition) {
    case FOREGROUND_ONLY: return " (only when foreground)";
    case FOREGROUND_NOT: return " (only when not foreground)";
    case FOREGROUND_NONE: return "";
    default: return " (commented out)";
  }
}

const char *outcomeText(int outcome) {
  switch (outcome) {
    case ENTRY_MATCH_FAILED: return "its match does not hold";
    case ENTRY_FOREGROUND_FAILED: return "its match holds, its foreground condition does not";
    case ENTRY_HANDED_ON: return "its action is empty: the click goes on to the next rule";
    case ENTRY_WON: return "wins";
    default: return "not reached";
  }
}

void printEntries(ImageOffset list, const WalkTrace &trace, FILE *out) {
  int count = imageRecordField(list, LIST_COUNT);
  for (int entry = 1; entry <= count && entry <= LIST_MAX_RULES; ++entry) {
    ImageOffset match = imageRecordField(list, listEntryField(LIST_MATCH, entry));
    int32_t condition = imageRecordField(list, listEntryField(LIST_FOREGROUND, entry));
    fprintf(out, "  rule %d: match \"%s\"%s, action \"%s\": %s\n", entry,
            orEmpty(imageString(imageRecordField(match, MATCH_NAME))), conditionText(condition),
            orEmpty(entryActionName(list, entry)), outcomeText(trace.outcome[entry]));
  }
}

// What the hook does with the message once `name` has won.
void printVerdict(const char *name, FILE *out) {
  int action = findAction(name);
  switch (actionClickVerdict(action)) {
    case MA_NOACTIVATE:
      fprintf(out, "verdict: 3 (MA_NOACTIVATE): the window gets the click; later hooks do not\n");
      break;
    case VERDICT_WINDOW_DECIDES:
      if (xmouseMode == XMOUSE_SIMULATED) {
        fprintf(out, "verdict: the window's own answer to WM_MOUSEACTIVATE decides\n");
      } else {
        fprintf(out, "verdict: 1 (MA_ACTIVATE): the click passes on as usual\n");
      }
      break;
    case MA_NOACTIVATEANDEAT:
      fprintf(out,
              "verdict: 4 (MA_NOACTIVATEANDEAT): the action runs and the click is "
              "swallowed\n");
      break;
    default:
      if (action != NO_ACTION) {
        fprintf(out, "verdict: 1 (MA_ACTIVATE): the action runs and the click passes on\n");
      } else {
        fprintf(out, "verdict: 1 (MA_ACTIVATE): \"%s\" is no action; the click passes on\n", name);
      }
  }
}

// A middle press with no list of its own is decided from its release's list.
void printMiddlePressNote(int eventSlot, const char *action, FILE *out) {
  const char *name = eventSlotName(eventSlot);
  if (strcmp(name, "MBUTTONUP") != 0 && strcmp(name, "NCMBUTTONUP") != 0) return;
  const char *press = name[0] == 'N' ? "NCMBUTTONDOWN" : "MBUTTONDOWN";
  uint32_t pressSlot = eventSlotHeaderOffset(eventSlotIndex(press));
  if (imageField((ImageOffset)pressSlot) != NO_OFFSET) return;
  fprintf(
      out, "the press (%s, which has no list of its own) is %s\n", press,
      actionPressVerdict(findAction(action)) != MA_NOACTIVATEANDEAT ? "let through" : "swallowed");
}

}  // namespace

int explainClick(const ClickDescription &click, FILE *out) {
  const char *event = eventSlotName(click.eventSlot);
  ImageOffset list = imageField((ImageOffset)eventSlotHeaderOffset(click.eventSlot));
  const char *invoked = click.invokedClass;
  const char *active = click.activeClass ? click.activeClass : invoked;
  const char *parent = click.parentClass ? click.parentClass : active;
  fprintf(out, "click: %s on class \"%s\" (click target \"%s\", root \"%s\"), hit-test %s, %s\n",
          event, invoked, active, parent, hitTestName(click.hitTest),
          click.foreground ? "foreground" : "not foreground");
  if (list == NO_OFFSET) {
    fprintf(out, "no list handles %s: verdict 1 (MA_ACTIVATE), the click passes on\n", event);
    return 0;
  }
  ClickFacts facts;
  describeClickByClassNames(&facts, invoked, active, parent, click.hitTest, click.foreground);
  WalkTrace trace;
  int winner = findWinningEntry(list, &facts, &trace);
  printEntries(list, trace, out);
  const char *action = orEmpty(entryActionName(list, winner));
  if (winner == 0) {
    fprintf(out, "winner: the default rule, action \"%s\"\n", action);
  } else {
    fprintf(out, "winner: rule %d, action \"%s\"\n", winner, action);
  }
  printVerdict(action, out);
  printMiddlePressNote(click.eventSlot, action, out);
  return 0;
}
