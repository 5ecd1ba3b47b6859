#include "point_report.h"

#include <windows.h>

#include <string>
#include <vector>

#include "click_outcome.h"
#include "config/image_access.h"
#include "config/loader_state.h"
#include "config/name_tables.h"
#include "console_text.h"
#include "diagnostics.h"
#include "event_decision.h"
#include "hooks/activation_record.h"
#include "hooks/click_facts.h"
#include "image_chains.h"
#include "match_reasons.h"
#include "match_snippet.h"
#include "window_at_point.h"
#include "window_program.h"

namespace {

const int TITLE_BUFFER_SIZE = 256;

std::string handleText(HWND window) { return format("0x%08lx", (unsigned long)(uintptr_t)window); }

std::string titleOf(HWND window) {
  char title[TITLE_BUFFER_SIZE] = "";
  if (GetWindowTextA(window, title, TITLE_BUFFER_SIZE) <= 0) title[0] = '\0';
  return title;
}

std::string classOf(HWND window) {
  char name[CLASS_NAME_BUFFER_SIZE] = "";
  if (GetClassNameA(window, name, CLASS_NAME_BUFFER_SIZE) <= 0) name[0] = '\0';
  return name;
}

// "0x00010062, class "Edit", title "notes.txt - Notepad""
std::string windowText(HWND window, const std::string &className) {
  return format("%s, class \"%s\", title \"%s\"", handleText(window).c_str(), className.c_str(),
                titleOf(window).c_str());
}

void printWindows(ClickFacts *facts, FILE *out) {
  const char *labels[CLICK_WINDOW_COUNT] = {"window under the pointer", "click target",
                                            "root parent"};
  for (int which = 0; which < CLICK_WINDOW_COUNT; ++which) {
    HWND window = facts->window[which];
    consolePrintf(out, "%s: %s\n", labels[which],
                  windowText(window, clickClassName(facts, (ClickWindow)which)).c_str());
  }
  if (isMdiClick(facts)) {
    consolePrintf(out, "inside the MDI document %s: the actions work on the document\n",
                  windowText(facts->activation, classOf(facts->activation)).c_str());
  }
}

// The area as vorn.ini names it, or why it cannot be told. 0 when no click
// there is one of this window's.
int printArea(const WindowAtPoint &found, FILE *out) {
  if (!found.answered) {
    consolePrintf(
        out,
        "area: unknown: the window did not answer WM_NCHITTEST within %u ms (it may be hung); "
        "what a click does here depends on the area\n",
        HIT_TEST_TIMEOUT_MS);
    return 0;
  }
  if (found.hitTest < 0) {
    consolePrintf(out, "area: the window answers %d (%s): clicks here do not go to it\n",
                  found.hitTest, found.hitTest == HTTRANSPARENT ? "HTTRANSPARENT" : "HTERROR");
    return 0;
  }
  consolePrintf(out, "area: %s (the window's answer to WM_NCHITTEST: %d)\n",
                hitTestText(found.hitTest).c_str(), found.hitTest);
  return 1;
}

// The hooks take the window activated last for the one in front; their
// activation hook records the foreground window at every activation, so
// the foreground window is what they would have recorded.
void printInFront(ClickFacts *facts, FILE *out) {
  HWND foreground = useCallWndProcRetHook ? recordActivatedWindow() : NULL;
  const char *answer = isForegroundClick(facts) ? "yes" : "no";
  if (isMdiClick(facts)) {
    consolePrintf(out, "in front: %s (the highest document of its frame counts)\n", answer);
  } else if (!useCallWndProcRetHook) {
    consolePrintf(
        out,
        "in front: %s (with UseWH_CALLWNDPROC=0 the highest window counts, and every topmost "
        "window)\n",
        answer);
  } else if (foreground == NULL) {
    consolePrintf(out, "in front: %s (no window is in the foreground: the highest window counts)\n",
                  answer);
  } else {
    consolePrintf(
        out, "in front: %s (the window activated last counts: now the foreground window, %s)\n",
        answer, windowText(foreground, classOf(foreground)).c_str());
  }
}

// "rule 3 (match "Desktop")", "the default rule"
std::string winnerText(const EventDecision &decision) {
  if (decision.winner == 0) return "the default rule";
  ImageOffset match = imageRecordField(decision.list, listEntryField(LIST_MATCH, decision.winner));
  const char *name = imageString(imageRecordField(match, MATCH_NAME));
  return format("rule %d (match \"%s\")", decision.winner, name ? name : "");
}

void printDecision(const EventDecision &decision, FILE *out) {
  consolePrintf(out, "  %-16s %s\n", eventSlotName(decision.eventSlot),
                decisionWords(decision).c_str());
}

std::string joined(const std::vector<std::string> &names) {
  std::string text;
  for (const std::string &name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// The events a click here sends: the client area's, or the non-client ones
// (caption, frame, buttons). Returns the first that a list decides, or -1.
int printEvents(ClickFacts *facts, FILE *out) {
  int nonClient = facts->hitTest != HTCLIENT;
  consolePrintf(out, "clicks here (%s):\n",
                nonClient ? "off the client area: the NC events" : "on the client area");
  std::vector<std::string> withoutList, elsewhere;
  int first = -1;
  for (int slot = 0; slot < eventSlotCount(); ++slot) {
    if (isNonClientEvent(slot) != nonClient) {
      if (eventSlotList(slot) != NO_OFFSET) {
        elsewhere.push_back(eventSlotName(slot));
      }
      continue;
    }
    EventDecision decision;
    decideEvent(slot, facts, &decision);
    if (decision.list == NO_OFFSET) {
      withoutList.push_back(eventSlotName(slot));
      continue;
    }
    if (first < 0) first = slot;
    printDecision(decision, out);
  }
  if (!withoutList.empty()) {
    consolePrintf(out, "  no list: %s: the click goes on to the window as usual\n",
                  joined(withoutList).c_str());
  }
  if (!elsewhere.empty()) {
    consolePrintf(out, "  not sent here: %s (their lists are for clicks %s the client area)\n",
                  joined(elsewhere).c_str(), nonClient ? "on" : "off");
  }
  return first;
}

std::string quotedArgument(const std::string &text) { return "\"" + text + "\""; }

void printExplainCommand(int slot, ClickFacts *facts, const char *file, FILE *out) {
  consolePrintf(
      out,
      "why each rule wins or not: vorncheck --explain %s --class %s --active %s --parent %s "
      "--hit %s %s%s%s\n",
      eventSlotName(slot), quotedArgument(clickClassName(facts, CLICK_INVOKED)).c_str(),
      quotedArgument(clickClassName(facts, CLICK_ACTIVE)).c_str(),
      quotedArgument(clickClassName(facts, CLICK_PARENT)).c_str(),
      hitTestText(facts->hitTest).c_str(),
      isForegroundClick(facts) ? "--foreground" : "--background", file ? " " : "",
      file ? quotedArgument(file).c_str() : "");
}

void printSnippet(ClickFacts *facts, int hitTest, const std::string &program,
                  const std::string &title, FILE *out) {
  SnippetClick click = {clickClassName(facts, CLICK_INVOKED),
                        clickClassName(facts, CLICK_ACTIVE),
                        clickClassName(facts, CLICK_PARENT),
                        hitTest,
                        program,
                        title};
  consolePrintf(
      out,
      "a match for this window, ready to paste (a Pattern holds when all of its lines hold: "
      "drop lines to match more); a rule names it as N.Match=%s:\n",
      matchNameFor(click.activeClass).c_str());
  printMatchSnippet(click, out);
}

}  // namespace

std::string decisionWords(const EventDecision &decision) {
  int number = listNumberOf(decision.list);
  if (decision.byRelease) {
    int release = releaseOfPress(decision.eventSlot);
    return format("no list of its own: %s's List%d decides it, with %s: %s", eventSlotName(release),
                  number, winnerText(decision).c_str(),
                  pressOutcome(decidedAction(decision)).words.c_str());
  }
  return format("List%d, %s: %s", number, winnerText(decision).c_str(),
                clickOutcome(decidedAction(decision)).words.c_str());
}

int explainPoint(POINT point, const char *file, FILE *out) {
  consolePrintf(out, "point: %ld, %ld\n", (long)point.x, (long)point.y);
  WindowAtPoint found;
  lookAtPoint(point, &found);
  if (found.window == NULL) {
    consolePrintf(out, "no window is there: a click there reaches no window\n");
    return 0;
  }
  ClickFacts facts;
  describeClickOn(&facts, found.window, found.hitTest);
  printWindows(&facts, out);
  // The window belongs to another process: vorncheck names its program for
  // the walk, as the hook in that process would.
  std::string program = programFileOf(found.window);
  giveClickText(&facts, CLICK_PROGRAM, program.c_str());
  consolePrintf(out, "program: %s\n",
                program.empty() ? "(its process cannot be asked)" : program.c_str());
  std::string title = windowTitleOf(facts.window[CLICK_PARENT]);
  consolePrintf(out, "title of the outermost parent: \"%s\"\n", title.c_str());
  if (!printArea(found, out)) {
    printSnippet(&facts, -1, program, title, out);
    return 0;
  }
  printInFront(&facts, out);
  int first = printEvents(&facts, out);
  // --explain takes only the areas vorn.ini has names for.
  if (first >= 0 && hitTestName(found.hitTest)) printExplainCommand(first, &facts, file, out);
  printSnippet(&facts, found.hitTest, program, title, out);
  return 0;
}
