#include "soak_desktop.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "message_pump.h"
#include "mouse_input.h"
#include "soak_process.h"
#include "soak_rules.h"
#include "support/message_names.h"
#include "support/window_points.h"
#include "test_windows.h"
#include "window_class.h"

namespace e2e {

namespace {

// Four columns of three windows each below a strip at the top of the
// screen, where the two marker windows sit: the test's in the left corner,
// the host's in the right one.
const int COLUMNS = 4;
const int ROWS = 3;
const int TOP_STRIP = 24;
const int TILE_WIDTH = 256;
const int TILE_HEIGHT = 234;
const int GAP = 6;

const char *const AREA_NAMES[SOAK_AREA_COUNT] = {"client area", "caption"};
const char *const BUTTON_NAMES[SOAK_BUTTON_COUNT] = {"left", "middle", "right"};

SoakWindowRequest tile(int number, SoakWindowClass windowClass) {
  int column = number % COLUMNS;
  int row = number / COLUMNS;
  return {windowClass, column * TILE_WIDTH + GAP, TOP_STRIP + row * TILE_HEIGHT + GAP,
          TILE_WIDTH - 2 * GAP, TILE_HEIGHT - 2 * GAP};
}

// Which button a message belongs to; -1 for none.
int buttonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
      return LEFT_BUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_NCMBUTTONDBLCLK:
      return MIDDLE_BUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
      return RIGHT_BUTTON;
    default:
      return -1;
  }
}

// The names of the messages of `button` that `window` received, in order.
std::vector<std::string> buttonMessagesTo(const vorntest::MessageLog &received, HWND window,
                                          int button) {
  std::vector<std::string> names;
  for (const vorntest::RecordedMessage &logged : received) {
    if (logged.window == window && buttonOf(logged.message) == button) {
      names.push_back(vorntest::messageName(logged.message));
    }
  }
  return names;
}

// What windows other than `window` received, as text; "" for nothing.
std::string receivedElsewhere(const vorntest::MessageLog &received, HWND window) {
  std::string text;
  for (const vorntest::RecordedMessage &logged : received) {
    if (logged.window == window) continue;
    text += (text.empty() ? "" : "; ") +
            (logged.window ? windowTitle(logged.window) : std::string("an unknown window")) + " " +
            vorntest::messageName(logged.message);
  }
  return text;
}

std::string joined(const std::vector<std::string> &names) {
  if (names.empty()) return "none";
  std::string text;
  for (const std::string &name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::vector<std::string> split(const std::string &fate) {
  std::vector<std::string> names;
  if (fate == "none") return names;
  size_t start = 0;
  for (;;) {
    size_t comma = fate.find(", ", start);
    names.push_back(fate.substr(start, comma - start));
    if (comma == std::string::npos) return names;
    start = comma + 2;
  }
}

bool contains(const std::vector<std::string> &names, const std::string &name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool hasRepeats(const std::vector<std::string> &names) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (std::find(names.begin() + i + 1, names.end(), names[i]) != names.end()) return true;
  }
  return false;
}

// Whether the click went as one of `fates` says, messages and their order;
// or, with several, whether each of its messages was delivered or
// swallowed as at least one of them says, message by message.
bool followsFates(const std::vector<std::string> &received,
                  const std::vector<std::vector<std::string>> &fates) {
  for (const auto &fate : fates) {
    if (received == fate) return true;
  }
  if (fates.size() < 2 || hasRepeats(received)) return false;
  std::vector<std::string> messages = received;
  for (const auto &fate : fates) messages.insert(messages.end(), fate.begin(), fate.end());
  for (const std::string &message : messages) {
    bool arrived = contains(received, message);
    bool allowed = false;
    for (const auto &fate : fates) allowed = allowed || contains(fate, message) == arrived;
    if (!allowed) return false;
  }
  return true;
}

std::string describeLog(const SoakProcess *owner, LONG from, LONG to) {
  std::string text;
  for (LONG n = from < 0 ? 0 : from; n < to; ++n) {
    SoakLogEntry entry = owner->entry(n);
    HWND window = owner->window(entry.window);
    std::string where = entry.window == SOAK_MARKER ? std::string("marker")
                        : window                    ? windowTitle(window)
                                                    : std::string("unknown");
    std::string name = vorntest::messageName(entry.message);
    text += (text.empty() ? "" : "; ") + where + " " + name + " (" + std::to_string(entry.x) + "," +
            std::to_string(entry.y) + ")";
  }
  return text.empty() ? "nothing" : text;
}

}  // namespace

std::string SoakDesktop::open(SoakProcess *here, SoakProcess *host) {
  std::vector<SoakWindowRequest> requests[2];
  SoakProcess *owners[2] = {here, host};
  for (int number = 0; number < COLUMNS * ROWS; ++number) {
    int owner = (number / SOAK_CLASS_COUNT) % 2;
    requests[owner].push_back(tile(number, (SoakWindowClass)(number % SOAK_CLASS_COUNT)));
  }
  POINT testMarker = {0, 0};
  POINT hostMarker = {GetSystemMetrics(SM_CXSCREEN) - MARKER_WINDOW_SIZE, 0};
  if (!here->openHere(requests[0], testMarker)) return "the test's own windows cannot be made";
  std::string problem = host->startHost(requests[1], hostMarker);
  if (!problem.empty()) return problem;
  for (int owner = 0; owner < 2; ++owner) {
    for (int i = 0; i < owners[owner]->windowCount(); ++i) {
      all.push_back({owners[owner], i, (SoakWindowClass)requests[owner][i].windowClass,
                     owners[owner]->window(i)});
    }
  }
  return "";
}

std::vector<const SoakWindow *> SoakDesktop::windowsOf(const SoakProcess *owner,
                                                       SoakWindowClass windowClass) const {
  std::vector<const SoakWindow *> found;
  for (const SoakWindow &window : all) {
    if (window.owner == owner && window.windowClass == windowClass) found.push_back(&window);
  }
  return found;
}

std::string SoakDesktop::describe(const SoakGesture &gesture) const {
  std::string text = windowTitle(gesture.window->handle) + ", " + AREA_NAMES[gesture.area] + ",";
  for (MouseButton button : gesture.buttons) text += std::string(" ") + BUTTON_NAMES[button];
  return text;
}

void SoakDesktop::rememberGesture(const SoakProcess *owner, POINT point) {
  for (LastGesture &last : lastGestures) {
    if (last.owner != owner) continue;
    last = {owner, point, GetTickCount()};
    return;
  }
  lastGestures.push_back({owner, point, GetTickCount()});
}

void SoakDesktop::waitOutDoubleClick(const SoakProcess *owner, POINT point) {
  for (const LastGesture &last : lastGestures) {
    if (last.owner != owner) continue;
    bool nearby = abs(point.x - last.point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                  abs(point.y - last.point.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    if (!nearby) return;
    pumpUntil([&] { return GetTickCount() - last.end > GetDoubleClickTime(); });
  }
}

bool SoakDesktop::makeGesture(const SoakGesture &gesture, vorntest::MessageLog *received,
                              std::string *problem) {
  const SoakWindow &window = *gesture.window;
  SoakProcess *owner = window.owner;
  POINT point;
  LRESULT hitTest = gesture.area == SOAK_CLIENT ? HTCLIENT : HTCAPTION;
  if (!vorntest::findVisiblePoint(window.handle, hitTest, &point)) {
    *problem = "no visible point in the " + std::string(AREA_NAMES[gesture.area]) + " of " +
               windowTitle(window.handle);
    return false;
  }
  waitOutDoubleClick(owner, point);
  useGestureMarker(owner->marker(), [owner](POINT at) { return owner->markerMovesAt(at); });
  LONG from = owner->logged();
  bool made = clicksAt(point, gesture.buttons);
  rememberGesture(owner, point);
  if (!made) {
    POINT cursor = {-1, -1};
    GetCursorPos(&cursor);
    bool late = pumpUntil([&] { return owner->logged() > from + 64; }, 2000);
    *problem = lastInputProblem() + "; the cursor is at (" + std::to_string(cursor.x) + "," +
               std::to_string(cursor.y) + ")" + (late ? " and more came later" : "") + "; " +
               owner->name() + " logged lately: " + describeLog(owner, from - 6, owner->logged());
    return false;
  }
  clicks += (int)gesture.buttons.size();
  LONG to = owner->logged();
  if (to - from > SOAK_LOG_CAPACITY) from = to - SOAK_LOG_CAPACITY;
  for (LONG n = from; n < to; ++n) {
    SoakLogEntry entry = owner->entry(n);
    if (entry.window == SOAK_MARKER || buttonOf(entry.message) < 0) continue;
    POINT where = {entry.x, entry.y};
    received->record(owner->window(entry.window), entry.message, 0, 0, where);
  }
  return true;
}

::testing::AssertionResult SoakDesktop::clickAndCheck(const SoakGesture &gesture,
                                                      const std::vector<const SoakRules *> &rules) {
  vorntest::MessageLog received;
  std::string problem;
  if (!makeGesture(gesture, &received, &problem)) {
    return ::testing::AssertionFailure() << describe(gesture) << ": " << problem;
  }
  std::string wrong;
  for (MouseButton button : gesture.buttons) {
    std::vector<std::vector<std::string>> fates;
    std::string expected;
    for (const SoakRules *set : rules) {
      const char *fate = expectedFate(*set, gesture.window->windowClass, gesture.area, button);
      fates.push_back(split(fate));
      expected += (expected.empty() ? "" : " or ") + std::string(fate) + " (" + set->name + ")";
    }
    std::vector<std::string> clicked = buttonMessagesTo(received, gesture.window->handle, button);
    if (followsFates(clicked, fates)) continue;
    wrong += std::string("; the ") + BUTTON_NAMES[button] + " click gave " + joined(clicked) +
             ", expected " + expected;
  }
  std::string elsewhere = receivedElsewhere(received, gesture.window->handle);
  if (!elsewhere.empty()) wrong += "; other windows received " + elsewhere;
  if (wrong.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << describe(gesture) << wrong;
}

std::string SoakDesktop::clickAndTell(const SoakGesture &gesture, MouseButton button,
                                      std::string *problem) {
  vorntest::MessageLog received;
  if (!makeGesture(gesture, &received, problem)) return "";
  std::string elsewhere = receivedElsewhere(received, gesture.window->handle);
  if (!elsewhere.empty()) *problem = "other windows received " + elsewhere;
  return joined(buttonMessagesTo(received, gesture.window->handle, button));
}

}  // namespace e2e
