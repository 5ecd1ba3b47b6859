#include "hooks/click_facts.h"

#include <windows.h>

#include "windows/navigation.h"

namespace {

void clearClassNames(ClickFacts *facts) {
  for (int i = 0; i < CLICK_WINDOW_COUNT; ++i) facts->className[i] = NULL;
}

// A window named twice in one click (a top-level window is often its own
// click target and root parent) is asked for its class only once.
const char *classAlreadyRead(const ClickFacts *facts, ClickWindow which) {
  for (int other = 0; other < CLICK_WINDOW_COUNT; ++other) {
    if (other == which || facts->className[other] == NULL) continue;
    if (facts->window[other] == facts->window[which]) return facts->className[other];
  }
  return NULL;
}

// The buffer is cleared when the system fills nothing: a buffer left as
// the stack had it could hold the class of a window seen earlier.
const char *readClassName(ClickFacts *facts, ClickWindow which) {
  char *buffer = facts->classBuffer[which];
  if (GetClassNameA(facts->window[which], buffer, CLASS_NAME_BUFFER_SIZE) <= 0) buffer[0] = '\0';
  buffer[CLASS_NAME_BUFFER_SIZE - 1] = '\0';
  return buffer;
}

}  // namespace

void describeClickWindows(ClickFacts *facts, HWND invoked, HWND active, HWND parent, int hitTest) {
  facts->window[CLICK_INVOKED] = invoked;
  facts->window[CLICK_ACTIVE] = active;
  facts->window[CLICK_PARENT] = parent;
  facts->activation = active;
  facts->hitTest = hitTest;
  facts->foreground = FOREGROUND_UNKNOWN;
  facts->keys = KEYS_NOT_READ;
  facts->text[CLICK_PROGRAM] = NULL;
  facts->text[CLICK_TITLE] = NULL;
  clearClassNames(facts);
}

void describeClickOn(ClickFacts *facts, HWND window, int hitTest) {
  describeClickWindows(facts, window, clickTarget(window), rootParent(window), hitTest);
  facts->activation = activationTarget(window);
}

void describeClickByClassNames(ClickFacts *facts, const char *invokedClass, const char *activeClass,
                               const char *parentClass, int hitTest, int foreground) {
  describeClickWindows(facts, NULL, NULL, NULL, hitTest);
  facts->className[CLICK_INVOKED] = invokedClass ? invokedClass : "";
  facts->className[CLICK_ACTIVE] = activeClass ? activeClass : "";
  facts->className[CLICK_PARENT] = parentClass ? parentClass : "";
  facts->foreground = foreground ? 1 : 0;
  giveClickText(facts, CLICK_PROGRAM, "");
  giveClickText(facts, CLICK_TITLE, "");
  facts->keys = 0;
}

const char *clickClassName(ClickFacts *facts, ClickWindow which) {
  if (facts->className[which] != NULL) return facts->className[which];
  const char *known = classAlreadyRead(facts, which);
  facts->className[which] = known ? known : readClassName(facts, which);
  return facts->className[which];
}

int isMdiClick(const ClickFacts *facts) { return facts->activation != facts->window[CLICK_ACTIVE]; }

int isForegroundClick(ClickFacts *facts) {
  if (facts->foreground != FOREGROUND_UNKNOWN) return facts->foreground;
  if (isMdiClick(facts)) {
    facts->foreground = nextEligibleWindow(facts->activation, GW_HWNDFIRST) == facts->activation;
  } else {
    facts->foreground = isTopOfZOrder(facts->window[CLICK_ACTIVE]) != 0;
  }
  return facts->foreground;
}
