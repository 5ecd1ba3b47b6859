// Fuzzes the validator and the hook procedures over arbitrary image bytes.
//
// The input stands for a mapped view of the ConfigImage, copied into a heap
// block of exactly its size so that AddressSanitizer sees a read even one
// byte past the end. These promises are checked:
// - an image the validator accepts can be walked by a reader that trusts
//   every offset it finds, without a check of its own (what the validator
//   vouches for), and none of its strings is longer than 255 characters,
//   so that no reader and no check scans more than 256 bytes for one; the same holds for the image cut short just before the
//   NUL of each of its last strings and at each of its last bytes, where
//   an off-by-one in a bounds check would show;
// - the hook procedures, run over a fixed desktop for every kind of mouse
//   message, never read outside the image, accepted or not: the accessors
//   are the second line of defence behind the validator;
// - rule evaluation and the match test, called directly for every list and
//   match the image names, do the same;
// - the hooks answer only what the dispatcher's verdicts allow, and nothing
//   writes into the image;
// - a walk whose image was rewritten meanwhile (its generation changed)
//   decides nothing: the message goes on.
// The options the hooks run under are chosen by the input's length. The
// shared gesture state, which any program may write, starts from values
// taken from the input's last bytes, any values at all; so do the states
// of the desktop's windows (shown, minimised, maximised, hidden, at the
// bottom) that the evaluator looks at.
#include <windows.h>

#include <sanitizer/asan_interface.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "config/image_layout.h"
#include "config/image_publish.h"
#include "config/image_validation.h"
#include "config/loader_state.h"
#include "fuzz_checks.h"
#include "fuzz_desktop.h"
#include "hooks/hook_state.h"
#include "hooks/match_window.h"
#include "hooks/rule_evaluation.h"
#include "vorn.h"
#include "windows/last_activated_window.h"
#include "windows/navigation.h"
#include "winsim/control.h"

namespace {

// What the next hook in the chain answers: neither 0 nor 1, so that the
// mouse hook passing it on is told apart from its own answers.
const LRESULT NEXT_HOOK_ANSWER = 0x5A5A;

// A damaged chain may loop; the walks below follow at most this many links.
const int LONGEST_WALK = 16;
enum { MAX_CANDIDATES = 64 };

struct Offsets {
  ImageOffset at[MAX_CANDIDATES];
  int count;
};

void addOffset(Offsets *offsets, ImageOffset offset) {
  if (offset == NO_OFFSET || offsets->count >= MAX_CANDIDATES) return;
  for (int i = 0; i < offsets->count; ++i) {
    if (offsets->at[i] == offset) return;
  }
  offsets->at[offsets->count++] = offset;
}

// ---- the validator's promise ------------------------------------------------

// Reads as a process that trusts the image would: no check but ASan's.
struct TrustingReader {
  const unsigned char *image;

  int32_t field(int32_t record, uint32_t fieldOffset) const {
    return readImageInt(image, (uint32_t)record + fieldOffset);
  }
  // The cost bound: no string of an accepted image is longer than the
  // loader writes, so no reader scans more than 256 bytes for one.
  void string(int32_t offset) const {
    volatile size_t length = strlen((const char *)image + offset);
    fuzzRequire(length <= IMAGE_MAX_STRING, "an accepted image's strings are at most 255 long");
  }

  void match(int32_t record) const {
    string(field(record, MATCH_NAME));
    int32_t count = field(record, MATCH_PATTERN_COUNT);
    fuzzRequire(count >= 0 && count <= MATCH_MAX_PATTERNS,
                "an accepted match has 0 to 35 Patterns");
    for (int p = 1; p <= count; ++p) {
      string(field(record, matchPatternField(MATCH_INVOKED_CLASS, p)));
      string(field(record, matchPatternField(MATCH_ACTIVE_CLASS, p)));
      string(field(record, matchPatternField(MATCH_PARENT_CLASS, p)));
      (void)field(record, matchPatternField(MATCH_HIT_TEST, p));
    }
  }

  void list(int32_t record) const {
    int32_t count = field(record, LIST_COUNT);
    fuzzRequire(count >= 0 && count <= LIST_MAX_RULES, "an accepted list has 0 to 9 rules");
    for (int entry = 0; entry <= count; ++entry) {
      string(field(record, listEntryField(LIST_ACTION, entry)));
      (void)field(record, listEntryField(LIST_POLICY, entry));
      if (entry == 0) continue;
      (void)field(record, listEntryField(LIST_FOREGROUND, entry));
      int32_t rule = field(record, listEntryField(LIST_MATCH, entry));
      if (rule != NO_OFFSET) match(rule);
    }
  }

  void chain(uint32_t headerField, uint32_t nextField, void (TrustingReader::*visit)(int32_t) const,
             int longest) const {
    int32_t record = readImageInt(image, headerField);
    for (int length = 0; record != NO_OFFSET; ++length) {
      fuzzRequire(length < longest, "an accepted chain ends");
      (this->*visit)(record);
      record = field(record, nextField);
    }
  }

  void everything() const {
    chain(HEADER_FIRST_LIST, LIST_NEXT, &TrustingReader::list, IMAGE_MAX_LISTS);
    chain(HEADER_FIRST_MATCH, MATCH_NEXT, &TrustingReader::match, IMAGE_MAX_MATCHES);
    for (uint32_t slot = HEADER_SLOT_LBUTTONDOWN; slot <= HEADER_SLOT_NCRBUTTONDOWN; slot += 4) {
      int32_t record = readImageInt(image, slot);
      if (record != NO_OFFSET) list(record);
    }
    int32_t mask = readImageInt(image, HEADER_MASKXMOUSE_MATCH);
    if (mask != NO_OFFSET) match(mask);
  }
};

// Where to cut an image short: at each of its last bytes, and just before
// the NUL of each of its last non-empty strings (the seeds end in a run of
// zeros, which mutations rarely take off exactly).
enum { CUTS_AT_END = 32, CUTS_BEFORE_NUL = 32, MAX_CUTS = CUTS_AT_END + CUTS_BEFORE_NUL };

int chooseCuts(const unsigned char *image, uint32_t size, uint32_t cuts[MAX_CUTS]) {
  int count = 0;
  for (uint32_t back = 1; back <= CUTS_AT_END && back < size; ++back) cuts[count++] = size - back;
  int nuls = 0;
  for (uint32_t at = size; at-- > 1 && nuls < CUTS_BEFORE_NUL;) {
    if (image[at] == '\0' && image[at - 1] != '\0') {
      cuts[count++] = at;
      ++nuls;
    }
  }
  return count;
}

// The bytes past the cut are poisoned, so that ASan reports any read of
// them exactly as it reports a read past the end of the heap block.
void checkValidatorAtCuts(unsigned char *image, uint32_t size) {
  uint32_t cuts[MAX_CUTS];
  int count = chooseCuts(image, size, cuts);
  for (int i = 0; i < count; ++i) {
    __asan_poison_memory_region(image + cuts[i], size - cuts[i]);
    if (validateImage(image, cuts[i])) TrustingReader{image}.everything();
    __asan_unpoison_memory_region(image + cuts[i], size - cuts[i]);
  }
}

// ---- the image as the hooks see it --------------------------------------------

// The trailer behind the view: the generation of a whole image; the
// option values are set by resetHookState.
unsigned char trailer[IMAGE_TRAILER_SIZE];
const int32_t WHOLE_GENERATION = 2;

void installImage(unsigned char *copy, uint32_t size) {
  imageBase = copy;
  imageHeader = copy;
  imageSize = size;
  imageWritable = 0;  // a hooked process's view is read-only
  mappingHandle = NULL;
  // It stands for a section the user's daemon made: its provenance is
  // checked elsewhere, its bytes here.
  sectionVerified = 1;
  writeImageInt(trailer, TRAILER_GENERATION, WHOLE_GENERATION);
  imageTrailer = NULL;  // the hooks take the options from it: set below
}

void removeImage() {
  imageBase = NULL;
  imageHeader = NULL;
  imageSize = 0;
  imageTrailer = NULL;
}

// Input bytes counted from the end, as many as there are.
struct InputTail {
  const uint8_t *data;
  size_t size;
  size_t taken;

  uint32_t next32() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | nextByte();
    return value;
  }
  uint8_t nextByte() { return taken < size ? data[size - 1 - taken++] : 0; }
};

// The shared section as any program may have left it: every value.
void scrambleSharedState(InputTail *tail, const FuzzClick clicks[], int clickCountOnDesktop) {
  activationHold = (int32_t)tail->next32();
  foregroundChanged = (int32_t)tail->next32();
  middleState = (int32_t)tail->next32();
  lbuttonUpArmed = (int32_t)tail->next32();
  lastPoint.x = (LONG)tail->next32();
  lastPoint.y = (LONG)tail->next32();
  uint8_t window = tail->nextByte();
  // A window of the desktop, or a handle that names none.
  lastActivatedWindow =
      window < clickCountOnDesktop ? clicks[window].window : (HWND)(uintptr_t)tail->next32();
}

// The windows the clicks land on, each left as it is or minimised,
// maximised, hidden or sent to the bottom.
void scrambleWindowStates(InputTail *tail, const FuzzClick clicks[], int clickCountOnDesktop) {
  for (int i = 0; i < clickCountOnDesktop; ++i) {
    HWND top = GetAncestor(clicks[i].window, GA_ROOT);
    switch (tail->nextByte() % 6) {
      case 1:
        ShowWindow(top, SW_MINIMIZE);
        break;
      case 2:
        ShowWindow(top, SW_MAXIMIZE);
        break;
      case 3:
        ShowWindow(top, SW_HIDE);
        break;
      case 4:
        SetWindowPos(top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
      default:
        break;
    }
  }
  pumpFuzzDesktop();
}

// The options that change which way the hooks go, chosen by the input's
// length so that every combination gets its share of images: the
// XMouseMode, and the two move protections together. Masking on moves is
// always on: it is the only part of a move that reads the image.
struct HookOptions {
  int xmouse;
  int moveProtect;
};

HookOptions optionsFor(size_t size) {
  HookOptions options = {(int)(size % 3), (int)((size / 3) % 2)};
  return options;
}

// Every option and every piece of gesture state, as a fresh daemon would
// have them: no run inherits another's.
void resetHookState(const HookOptions &options) {
  xmouseMode = options.xmouse;
  maskXmouseOnMove = 1;
  mbuttonUpMoveProtect = options.moveProtect;
  lbuttonUpMoveProtect = options.moveProtect;
  useCallWndProcRetHook = 1;
  activationHold = 0;
  foregroundChanged = 0;
  middleState = MIDDLE_IDLE;
  lbuttonUpArmed = 0;
  lastPoint.x = 0;
  lastPoint.y = 0;
  lastActivatedWindow = NULL;
  clickCount = 0;
  wheelMessage = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
  mouseHook = NULL;
  getMessageHook = NULL;
  callWndProcRetHook = NULL;
  winsimSetCallNextHookResult(NEXT_HOOK_ANSWER);
}

// A header field read with the image's size in mind: what a reader of an
// image that may be cut short gets.
ImageOffset headerField(uint32_t offset) {
  if (imageSize < offset + 4) return NO_OFFSET;
  return readImageInt(imageHeader, offset);
}

ImageOffset chainNext(ImageOffset record, uint32_t nextField) {
  uint64_t at = (uint64_t)(uint32_t)record + nextField;
  if (record < 0 || at + 4 > imageSize) return NO_OFFSET;
  return readImageInt(imageHeader, (uint32_t)at);
}

void collectChain(Offsets *offsets, uint32_t headerOffset, uint32_t nextField) {
  ImageOffset record = headerField(headerOffset);
  for (int length = 0; record != NO_OFFSET && length < LONGEST_WALK; ++length) {
    addOffset(offsets, record);
    record = chainNext(record, nextField);
  }
}

void collectLists(Offsets *lists) {
  lists->count = 0;
  for (uint32_t slot = HEADER_SLOT_LBUTTONDOWN; slot <= HEADER_SLOT_NCRBUTTONDOWN; slot += 4) {
    addOffset(lists, headerField(slot));
  }
  collectChain(lists, HEADER_FIRST_LIST, LIST_NEXT);
}

void collectMatches(Offsets *matches, const Offsets &lists) {
  matches->count = 0;
  addOffset(matches, headerField(HEADER_MASKXMOUSE_MATCH));
  collectChain(matches, HEADER_FIRST_MATCH, MATCH_NEXT);
  for (int i = 0; i < lists.count; ++i) {
    for (int entry = 1; entry <= LIST_MAX_RULES; ++entry) {
      addOffset(matches, chainNext(lists.at[i], listEntryField(LIST_MATCH, entry)));
    }
  }
}

// What the system hands a mouse hook: the extended structure, whose
// mouseData names the extra button (the first or second by the hit-test's
// parity, so that both are met).
MOUSEHOOKSTRUCTEX hookStructFor(const FuzzClick &click, int dx) {
  MOUSEHOOKSTRUCTEX m = {};
  m.pt.x = click.point.x + dx;
  m.pt.y = click.point.y;
  m.hwnd = click.window;
  m.wHitTestCode = (UINT)click.hitTest;
  m.mouseData = MAKELONG(0, (click.hitTest & 1) ? XBUTTON2 : XBUTTON1);
  return m;
}

// A message only peeked at, or a negative code, is none of the hook's
// business: it goes to the next hook untouched.
void peek(UINT message, const FuzzClick &click) {
  MOUSEHOOKSTRUCTEX m = hookStructFor(click, 0);
  fuzzRequire(mouseHookProc(HC_NOREMOVE, message, (LPARAM)&m) == NEXT_HOOK_ANSWER,
              "a peeked message goes to the next hook");
  fuzzRequire(mouseHookProc(-1, message, (LPARAM)&m) == NEXT_HOOK_ANSWER,
              "a negative code goes to the next hook");
}

void mouse(UINT message, const FuzzClick &click, int dx = 0) {
  MOUSEHOOKSTRUCTEX m = hookStructFor(click, dx);
  LRESULT result = mouseHookProc(HC_ACTION, message, (LPARAM)&m);
  fuzzRequire(result == 0 || result == 1 || result == NEXT_HOOK_ANSWER,
              "the mouse hook answers 0, 1 or what the next hook answered");
}

void retrieved(UINT message, HWND window) {
  MSG msg = {};
  msg.hwnd = window;
  msg.message = message;
  fuzzRequire(msgHookProc(HC_ACTION, PM_REMOVE, (LPARAM)&msg) == NEXT_HOOK_ANSWER,
              "the get-message hook answers what the next hook answered");
}

void windowProcedureReturned(UINT message, HWND window) {
  CWPRETSTRUCT call = {};
  call.hwnd = window;
  call.message = message;
  fuzzRequire(cwpretHookProc(HC_ACTION, 0, (LPARAM)&call) == NEXT_HOOK_ANSWER,
              "the call-window-return hook answers what the next hook answered");
}

// The client-area message, or its non-client twin for any other hit-test.
UINT inArea(const FuzzClick &click, UINT clientMessage, UINT nonClientMessage) {
  return click.hitTest == HTCLIENT ? clientMessage : nonClientMessage;
}

// Every row of the dispatcher's message table, and the gestures that
// cross rows: a double click, a still middle click, one spoiled by a drag,
// by the wheel and by a scroll message.
void clickEverywayOn(const FuzzClick &click) {
  UINT move = inArea(click, WM_MOUSEMOVE, WM_NCMOUSEMOVE);
  mouse(move, click);
  mouse(inArea(click, WM_LBUTTONDOWN, WM_NCLBUTTONDOWN), click);
  mouse(inArea(click, WM_LBUTTONUP, WM_NCLBUTTONUP), click);
  mouse(inArea(click, WM_LBUTTONDBLCLK, WM_NCLBUTTONDBLCLK), click);
  mouse(inArea(click, WM_LBUTTONUP, WM_NCLBUTTONUP), click);
  mouse(inArea(click, WM_RBUTTONDOWN, WM_NCRBUTTONDOWN), click);
  mouse(inArea(click, WM_RBUTTONUP, WM_NCRBUTTONUP), click);
  mouse(inArea(click, WM_RBUTTONDBLCLK, WM_NCRBUTTONDBLCLK), click);
  mouse(inArea(click, WM_RBUTTONUP, WM_NCRBUTTONUP), click);
  mouse(inArea(click, WM_XBUTTONDOWN, WM_NCXBUTTONDOWN), click);
  mouse(inArea(click, WM_XBUTTONUP, WM_NCXBUTTONUP), click);
  mouse(inArea(click, WM_MBUTTONDBLCLK, WM_NCMBUTTONDBLCLK), click);
  UINT middleDown = inArea(click, WM_MBUTTONDOWN, WM_NCMBUTTONDOWN);
  UINT middleUp = inArea(click, WM_MBUTTONUP, WM_NCMBUTTONUP);
  mouse(middleDown, click);
  mouse(middleUp, click);
  mouse(middleDown, click);
  mouse(move, click, 40);
  mouse(middleUp, click);
  mouse(middleDown, click);
  mouse(WM_MOUSEWHEEL, click);
  mouse(middleUp, click);
  mouse(middleDown, click);
  retrieved(WM_VSCROLL, click.window);
  mouse(middleUp, click);
  mouse(middleDown, click);
  peek(middleUp, click);
  retrieved(wheelMessage, click.window);
  mouse(middleUp, click);
  mouse(WM_XBUTTONDOWN, click);
  windowProcedureReturned(WM_ACTIVATE, GetForegroundWindow());
  windowProcedureReturned(WM_WINDOWPOSCHANGED, GetForegroundWindow());
  mouse(move, click);
  pumpFuzzDesktop();
}

void runHookProcedures(const FuzzClick clicks[], int clickCountOnDesktop) {
  for (int i = 0; i < clickCountOnDesktop; ++i) clickEverywayOn(clicks[i]);
}

void evaluateDirectly(const Offsets &lists, const Offsets &matches, const FuzzClick clicks[],
                      int clickCountOnDesktop) {
  for (int c = 0; c < clickCountOnDesktop; ++c) {
    MOUSEHOOKSTRUCTEX m = hookStructFor(clicks[c], 0);
    UINT up = inArea(clicks[c], WM_MBUTTONUP, WM_NCMBUTTONUP);
    UINT down = inArea(clicks[c], WM_MBUTTONDOWN, WM_NCMBUTTONDOWN);
    for (int i = 0; i < lists.count; ++i) {
      evaluateList(lists.at[i], up, &m);
      precheckDownEvent(lists.at[i], down, &m);
      // Begun on an image since rewritten, or while it was being written.
      const uint32_t staleGenerations[] = {WHOLE_GENERATION - 2, WHOLE_GENERATION + 1};
      for (uint32_t stale : staleGenerations) {
        fuzzRequire(evaluateListSince(stale, lists.at[i], up, &m) == MA_ACTIVATE &&
                        precheckDownEventSince(stale, lists.at[i], down, &m) == MA_ACTIVATE,
                    "a walk over a rewritten image lets the message go on");
      }
    }
    HWND target = clickTarget(m.hwnd);
    HWND root = rootParent(m.hwnd);
    for (int i = 0; i < matches.count; ++i) {
      matchWindow(matches.at[i], m.hwnd, target, root, clicks[c].hitTest);
    }
    pumpFuzzDesktop();
  }
}

// The validator's verdict on the image, and its promise for accepted images.
void checkValidator(unsigned char *image, uint32_t size) {
  int accepted = validateImage(image, size);
  if (fuzzVerbose())
    fprintf(stderr, "image of %u bytes: %s\n", size, accepted ? "accepted" : "rejected");
  if (accepted) TrustingReader{image}.everything();
  checkValidatorAtCuts(image, size);
}

// The hook procedures and rule evaluation over the image, each on a desktop
// and hook state of its own.
void checkHooks(unsigned char *image, uint32_t size, InputTail tail) {
  HookOptions options = optionsFor(size);
  FuzzClick clicks[FUZZ_MAX_CLICKS];
  int clickCountOnDesktop = buildFuzzDesktop(clicks);
  resetHookState(options);
  installImage(image, size);
  scrambleSharedState(&tail, clicks, clickCountOnDesktop);
  scrambleWindowStates(&tail, clicks, clickCountOnDesktop);
  runHookProcedures(clicks, clickCountOnDesktop);

  clickCountOnDesktop = buildFuzzDesktop(clicks);
  resetHookState(options);
  scrambleSharedState(&tail, clicks, clickCountOnDesktop);
  scrambleWindowStates(&tail, clicks, clickCountOnDesktop);
  imageTrailer = trailer;  // the generation the walks below are checked against
  Offsets lists, matches;
  collectLists(&lists);
  collectMatches(&matches, lists);
  evaluateDirectly(lists, matches, clicks, clickCountOnDesktop);
  removeImage();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  // An empty image still gets a block (malloc(0) may give none), whose one
  // byte is poisoned: it is no part of the image.
  unsigned char *copy = (unsigned char *)malloc(size ? size : 1);
  if (size == 0) __asan_poison_memory_region(copy, 1);
  if (size > 0) memcpy(copy, data, size);

  checkValidator(copy, (uint32_t)size);
  checkHooks(copy, (uint32_t)size, InputTail{data, size, 0});
  fuzzRequire(size == 0 || memcmp(copy, data, size) == 0, "nothing writes into the image");

  if (!size) __asan_unpoison_memory_region(copy, 1);
  free(copy);
  return 0;
}
