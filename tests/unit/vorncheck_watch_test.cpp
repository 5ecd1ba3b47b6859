// vorncheck --watch's reading of what the low-level hook saw: which press
// the system makes a double click, and the event names it gives.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "config/name_tables.h"
#include "watch.h"

namespace {

const DWORD DOUBLE_CLICK_TIME = 500;
const LONG RECTANGLE = 4;
HWND const WINDOW = (HWND)0x1010;

TEST(VorncheckWatch, DoubleClicksAreTheSystemsOwn) {
  const SeenPress first = {BUTTON_LEFT, {100, 100}, 0xFFFFFF00u, WINDOW};
  const struct {
    const char *what;
    SeenPress second;
    bool nonClient, classHasDoubleClicks, isDouble;
  } cases[] = {
      {"in time, in the rectangle",
       {BUTTON_LEFT, {102, 98}, 0xFFFFFF00u + 200, WINDOW},
       false,
       true,
       true},
      {"at the double-click time exactly",
       {BUTTON_LEFT, {100, 100}, 0xFFFFFF00u + 500, WINDOW},
       false,
       true,
       true},
      {"after the tick count wrapped",
       {BUTTON_LEFT, {100, 100}, 0x00000010u, WINDOW},
       false,
       true,
       true},
      {"too late", {BUTTON_LEFT, {100, 100}, 0xFFFFFF00u + 501, WINDOW}, false, true, false},
      {"out of the rectangle",
       {BUTTON_LEFT, {103, 100}, 0xFFFFFF00u + 100, WINDOW},
       false,
       true,
       false},
      {"another button", {BUTTON_RIGHT, {100, 100}, 0xFFFFFF00u + 100, WINDOW}, false, true, false},
      {"another window",
       {BUTTON_LEFT, {100, 100}, 0xFFFFFF00u + 100, (HWND)0x2020},
       false,
       true,
       false},
      {"a class without CS_DBLCLKS",
       {BUTTON_LEFT, {100, 100}, 0xFFFFFF00u + 100, WINDOW},
       false,
       false,
       false},
      {"off the client area, any class",
       {BUTTON_LEFT, {100, 100}, 0xFFFFFF00u + 100, WINDOW},
       true,
       false,
       true},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.isDouble, isDoubleClick(first, c.second, DOUBLE_CLICK_TIME, RECTANGLE, RECTANGLE,
                                        c.nonClient, c.classHasDoubleClicks))
        << c.what;
  }
}

// Every event vorn has a list slot for is one --watch can name, and every
// button event it names is decided by one of them (an extra button's double
// click by its press's).
TEST(VorncheckWatch, NamesEveryEventVornHas) {
  std::set<int> named;
  for (UINT button = BUTTON_LEFT; button <= BUTTON_X2; ++button) {
    for (int kind : {BUTTON_DOWN, BUTTON_UP, BUTTON_DOUBLE}) {
      for (bool nonClient : {false, true}) {
        std::string event = eventName(button, kind, nonClient);
        int slot = eventSlotIndex(event.c_str());
        if (slot >= 0) named.insert(slot);
        EXPECT_GE(eventSlotIndex(listEventOf(event).c_str()), 0) << event;
      }
    }
  }
  EXPECT_EQ((size_t)eventSlotCount(), named.size());
  EXPECT_EQ("NCXBUTTON2DOWN", listEventOf("NCXBUTTON2DBLCLK"));
  EXPECT_EQ("RBUTTONDBLCLK", listEventOf("RBUTTONDBLCLK"));
  EXPECT_EQ("NCXBUTTON2DBLCLK", eventName(BUTTON_X2, BUTTON_DOUBLE, true));
}

}  // namespace
