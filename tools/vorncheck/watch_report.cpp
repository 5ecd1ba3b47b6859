#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "config/image_access.h"
#include "config/loader_state.h"
#include "config/name_tables.h"
#include "daemon_status.h"
#include "diagnostics.h"
#include "event_decision.h"
#include "hooks/click_facts.h"
#include "match_reasons.h"
#include "point_report.h"
#include "console_text.h"
#include "watch.h"
#include "window_at_point.h"
#include "window_program.h"
#include "windows/last_activated_window.h"
#include "windows/navigation.h"

namespace {

UINT buttonOf(const SeenButtonEvent &event) {
  switch (event.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return BUTTON_LEFT;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return BUTTON_RIGHT;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return BUTTON_MIDDLE;
    default:
      return HIWORD(event.mouseData) == XBUTTON2 ? BUTTON_X2 : BUTTON_X1;
  }
}

bool isPress(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
         message == WM_XBUTTONDOWN;
}

std::string timeText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return format("%02u:%02u:%02u.%03u", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

bool anyDaemonRuns() {
  for (const DaemonNames &names : DAEMON_PAIR) {
    if (FindWindowA(names.windowName, names.windowName)) return true;
  }
  return false;
}

// Why vorn cannot act on a click of this window, or "".
std::string whyVornCannotAct(ClickFacts *facts) {
  if (!anyDaemonRuns()) return "no vornd runs: nothing is done to clicks";
  HWND root = facts->window[CLICK_PARENT];
  if (isCloakedWindow(root)) {
    return "the window is cloaked (on another virtual desktop, or a suspended app)";
  }
  switch (compareIntegrityWithOurs(root)) {
    case INTEGRITY_ABOVE_OURS:
      return "its program runs at a higher integrity level (elevated): vorn's hooks reach it "
             "only from a vornd that runs elevated too";
    case INTEGRITY_UNKNOWN:
      return "its program could not be asked (it may run elevated, where a vornd of this user "
             "cannot act)";
    default:
      return "";
  }
}

// What the rule lists decide for an event of vorn's, or why none does.
std::string decisionFor(const std::string &event, ClickFacts *facts) {
  int slot = eventSlotIndex(listEventOf(event).c_str());
  if (slot < 0) return "vorn has no event for it: the click goes on as usual";
  EventDecision decision;
  decideEvent(slot, facts, &decision);
  if (decision.list == NO_OFFSET) return "no list: the click goes on as usual";
  return decisionWords(decision);
}

}  // namespace

bool isDoubleClick(const SeenPress &previous, const SeenPress &press, DWORD doubleClickTime,
                   LONG rectangleWidth, LONG rectangleHeight, bool nonClient,
                   bool classHasDoubleClicks) {
  if (press.button != previous.button || press.window != previous.window) return false;
  if (press.time - previous.time > doubleClickTime) return false;
  if (2 * labs(press.point.x - previous.point.x) > rectangleWidth) return false;
  if (2 * labs(press.point.y - previous.point.y) > rectangleHeight) return false;
  return nonClient || classHasDoubleClicks;
}

std::string eventName(UINT button, int kind, bool nonClient) {
  static const char *const BUTTONS[] = {"LBUTTON", "RBUTTON", "MBUTTON", "XBUTTON1", "XBUTTON2"};
  static const char *const KINDS[] = {"DOWN", "UP", "DBLCLK"};
  return std::string(nonClient ? "NC" : "") + BUTTONS[button <= BUTTON_X2 ? button : 0] +
         KINDS[kind];
}

std::string listEventOf(const std::string &event) {
  size_t doubleClick = event.find("DBLCLK");
  if (event.find("XBUTTON") == std::string::npos || doubleClick == std::string::npos) return event;
  return event.substr(0, doubleClick) + "DOWN";
}

int WatchReporter::kindOf(const SeenButtonEvent &event, HWND window, bool nonClient) {
  if (!isPress(event.message)) return BUTTON_UP;
  SeenPress press = {buttonOf(event), event.point, event.time, window};
  bool classDouble = (GetClassLongA(window, GCL_STYLE) & CS_DBLCLKS) != 0;
  bool isDouble =
      pressSeen &&
      isDoubleClick(lastPress, press, GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK),
                    GetSystemMetrics(SM_CYDOUBLECLK), nonClient, classDouble);
  // The press after a double click starts a new one.
  pressSeen = !isDouble;
  lastPress = press;
  return isDouble ? BUTTON_DOUBLE : BUTTON_DOWN;
}

void WatchReporter::report(const SeenButtonEvent &event) {
  if (event.number != nextNumber) {
    consolePrintf(out, "%s  (%ld events came too fast to be told)\n", timeText().c_str(),
                  (long)(event.number - nextNumber));
  }
  nextNumber = event.number + 1;
  WindowAtPoint found;
  lookAtPoint(event.point, &found);
  std::string when = timeText();
  if (!found.window) {
    consolePrintf(out, "%s  at %ld, %ld: no window is there\n", when.c_str(), (long)event.point.x,
                  (long)event.point.y);
    return;
  }
  bool nonClient = found.answered && found.hitTest != HTCLIENT;
  // As the activation hook would have recorded it by then.
  if (useCallWndProcRetHook && event.foreground) lastActivatedWindow = event.foreground;
  std::string name = eventName(buttonOf(event), kindOf(event, found.window, nonClient), nonClient);
  ClickFacts facts;
  describeClickOn(&facts, found.window, found.answered ? found.hitTest : HTNOWHERE);
  std::string program = programFileOf(found.window);
  giveClickText(&facts, CLICK_PROGRAM, program.c_str());
  facts.keys = event.keys;
  std::string area = found.answered ? hitTestText(found.hitTest) : "unknown (no answer)";
  std::string line = format(
      "%s  %-16s class \"%s\", program \"%s\", title \"%s\", keys %s, area %s: ", when.c_str(),
      name.c_str(), clickClassName(&facts, CLICK_INVOKED), program.c_str(),
      windowTitleOf(facts.window[CLICK_PARENT]).c_str(), keysText(event.keys).c_str(),
      area.c_str());
  line += decisionFor(name, &facts);
  std::string cannot = whyVornCannotAct(&facts);
  if (!cannot.empty()) line += "; but " + cannot;
  consolePrintf(out, "%s\n", line.c_str());
  fflush(out);
}
