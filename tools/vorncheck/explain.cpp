#include "explain.h"

#include <string>
#include <vector>

#include "click_outcome.h"
#include "config/image_access.h"
#include "config/name_tables.h"
#include "console_text.h"
#include "event_decision.h"
#include "hooks/click_facts.h"
#include "hooks/rule_walk.h"
#include "image_chains.h"
#include "match_reasons.h"

namespace {

const char *orEmpty(const char *text) { return text ? text : ""; }

const char *conditionText(int32_t condition) {
  switch (condition) {
    case FOREGROUND_ONLY:
      return " (only when foreground)";
    case FOREGROUND_NOT:
      return " (only when not foreground)";
    case FOREGROUND_NONE:
      return "";
    default:
      return " (commented out)";
  }
}

const char *outcomeText(int outcome) {
  switch (outcome) {
    case ENTRY_MATCH_FAILED:
      return "its match does not hold";
    case ENTRY_FOREGROUND_FAILED:
      return "its match holds, its foreground condition does not";
    case ENTRY_HANDED_ON:
      return "its action is empty: the click goes on to the next rule";
    case ENTRY_WON:
      return "wins";
    default:
      return "not reached";
  }
}

// One reason on the rule's line; several, one a line below it.
void printReasons(const std::vector<std::string> &reasons, FILE *out) {
  if (reasons.size() == 1) {
    consolePrintf(out, ": %s\n", reasons[0].c_str());
    return;
  }
  consolePrintf(out, "%s\n", reasons.empty() ? "" : ":");
  for (const std::string &reason : reasons) consolePrintf(out, "      %s\n", reason.c_str());
}

void printEntries(const EventDecision &decision, const IniDocument &doc, ClickFacts *facts,
                  FILE *out) {
  ImageOffset list = decision.list;
  int count = imageRecordField(list, LIST_COUNT);
  for (int entry = 1; entry <= count && entry <= LIST_MAX_RULES; ++entry) {
    ImageOffset match = imageRecordField(list, listEntryField(LIST_MATCH, entry));
    int32_t condition = imageRecordField(list, listEntryField(LIST_FOREGROUND, entry));
    int outcome = decision.trace.outcome[entry];
    consolePrintf(out, "  rule %d: match \"%s\"%s, action \"%s\": %s", entry,
                  orEmpty(imageString(imageRecordField(match, MATCH_NAME))),
                  conditionText(condition), orEmpty(entryActionName(list, entry)),
                  outcomeText(outcome));
    if (outcome == ENTRY_MATCH_FAILED) {
      printReasons(whyMatchFails(match, doc, facts), out);
    } else {
      consolePrintf(out, "\n");
    }
  }
}

// A middle release's list also decides its press when the press has no
// list of its own: say what the press gets, as --explain of the press does.
void printPressNote(const EventDecision &release, ClickFacts *facts, FILE *out) {
  int pressSlot = pressOfRelease(release.eventSlot);
  if (pressSlot < 0) return;
  EventDecision press;
  decideEvent(pressSlot, facts, &press);
  if (!press.byRelease) return;
  consolePrintf(out, "the press (%s, which has no list of its own) is decided by this list: %s\n",
                eventSlotName(pressSlot), pressOutcome(decidedAction(press)).words.c_str());
}

void printNoList(int eventSlot, FILE *out) {
  int releaseSlot = releaseOfPress(eventSlot);
  if (releaseSlot >= 0) {
    consolePrintf(
        out,
        "no list handles %s, nor its release %s, whose list would decide it: verdict %s: the "
        "click goes on to the window\n",
        eventSlotName(eventSlot), eventSlotName(releaseSlot), verdictName(MA_ACTIVATE).c_str());
  } else {
    consolePrintf(out, "no list handles %s: verdict %s: the click goes on to the window\n",
                  eventSlotName(eventSlot), verdictName(MA_ACTIVATE).c_str());
  }
}

void printDecidingList(const EventDecision &decision, FILE *out) {
  int number = listNumberOf(decision.list);
  if (decision.byRelease) {
    consolePrintf(out,
                  "%s has no list of its own: the mouse hook decides the press by the list of its "
                  "release, %s (List%d), and runs no action on it\n",
                  eventSlotName(decision.eventSlot),
                  eventSlotName(releaseOfPress(decision.eventSlot)), number);
  } else {
    consolePrintf(out, "%s is handled by List%d\n", eventSlotName(decision.eventSlot), number);
  }
}

void printWinner(const EventDecision &decision, FILE *out) {
  const char *action = decidedAction(decision);
  if (decision.winner == 0) {
    consolePrintf(out, "winner: the default rule, action \"%s\"\n", action);
  } else {
    consolePrintf(out, "winner: rule %d, action \"%s\"\n", decision.winner, action);
  }
  Outcome outcome = decision.byRelease ? pressOutcome(action) : clickOutcome(action);
  consolePrintf(out, "verdict: %s: %s\n", verdictName(outcome.verdict).c_str(),
                outcome.words.c_str());
}

// The right and extra buttons' gesture, which a press and its release
// share: said for either of them, with or without lists.
void printGestureNote(int eventSlot, FILE *out) {
  if (!isButtonGestureEvent(eventSlot)) return;
  int release = releaseOfPress(eventSlot);
  if (release >= 0) {
    consolePrintf(out,
                  "gesture: when this press is swallowed, its release %s is swallowed too, "
                  "whatever that release's list decides, so that the window opens no menu after "
                  "the action\n",
                  eventSlotName(release));
  } else {
    consolePrintf(out,
                  "gesture: this release runs its list only after its press %s; when that press "
                  "was swallowed, the release is swallowed too\n",
                  eventSlotName(pressOfRelease(eventSlot)));
  }
  consolePrintf(out,
                "gesture: anything between press and release that spoils a middle click (another "
                "button, the wheel, a scroll bar, a move beyond the drag distance while "
                "MBUTTONUP.MoveProtect is on) spoils it: the release then runs no action and goes "
                "on to the window\n");
}

}  // namespace

int explainClick(const ClickDescription &click, const IniDocument &doc, FILE *out) {
  const char *invoked = click.invokedClass;
  const char *active = click.activeClass ? click.activeClass : invoked;
  const char *parent = click.parentClass ? click.parentClass : active;
  consolePrintf(out,
                "click: %s on class \"%s\" (click target \"%s\", root \"%s\"), hit-test %s, %s\n",
                eventSlotName(click.eventSlot), invoked, active, parent, hitTestName(click.hitTest),
                click.foreground ? "foreground" : "not foreground");
  ClickFacts facts;
  describeClickByClassNames(&facts, invoked, active, parent, click.hitTest, click.foreground);
  giveClickText(&facts, CLICK_PROGRAM, click.program);
  giveClickText(&facts, CLICK_TITLE, click.title);
  facts.keys = click.keys;
  if (click.program || click.title || click.keys) {
    consolePrintf(out, "program \"%s\", title \"%s\", keys %s\n",
                  click.program ? click.program : "", click.title ? click.title : "",
                  keysText(click.keys).c_str());
  }
  EventDecision decision;
  decideEvent(click.eventSlot, &facts, &decision);
  if (decision.list == NO_OFFSET) {
    printNoList(click.eventSlot, out);
  } else {
    printDecidingList(decision, out);
    printEntries(decision, doc, &facts, out);
    printWinner(decision, out);
    printPressNote(decision, &facts, out);
  }
  printGestureNote(click.eventSlot, out);
  return 0;
}
