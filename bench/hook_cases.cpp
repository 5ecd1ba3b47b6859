#include "hook_cases.h"

#include <windows.h>

#include "config/loader_state.h"
#include "hook_scene.h"
#include "hooks/hook_state.h"
#include "hooks/marshalled_messages.h"
#include "vorn.h"

namespace {

// The baseline: a hook procedure that does nothing but pass the message on.
LRESULT CALLBACK passThroughHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(mouseHook, code, wParam, lParam);
}

// Called through volatile pointers, as the system calls a hook: neither
// procedure can be inlined into a caller's loop.
HOOKPROC volatile passThrough = passThroughHookProc;
HOOKPROC volatile dispatcher = mouseHookProc;

// What a vorn.ini without [Options] gives: both MoveProtect options on,
// no focus-follows-mouse.
void useDefaultOptions(void) {
  mbuttonUpMoveProtect = 1;
  lbuttonUpMoveProtect = 1;
  xmouseMode = XMOUSE_OFF;
  maskXmouseOnMove = 0;
}

void useMasking(void) {
  useDefaultOptions();
  xmouseMode = XMOUSE_SYSTEM_TRACKING;
  maskXmouseOnMove = 1;
}

// The pointer rests on the pane, in its client area; the hook gets the
// extended structure, as the system hands it.
LRESULT sendToHook(HOOKPROC volatile &hook, UINT message) {
  MOUSEHOOKSTRUCTEX m = {};
  m.pt.x = 150;
  m.pt.y = 150;
  m.hwnd = hookScene.pane;
  m.wHitTestCode = HTCLIENT;
  return hook(HC_ACTION, message, (LPARAM)&m);
}

LRESULT passThroughMove(void) { return sendToHook(passThrough, WM_MOUSEMOVE); }

LRESULT dispatchMove(void) { return sendToHook(dispatcher, WM_MOUSEMOVE); }

LRESULT dispatchLeftPress(void) { return sendToHook(dispatcher, WM_LBUTTONDOWN); }

LRESULT dispatchRightPress(void) { return sendToHook(dispatcher, WM_RBUTTONDOWN); }

LRESULT dispatchMiddlePress(void) { return sendToHook(dispatcher, WM_MBUTTONDOWN); }

// Only the first double clicks after a press are evaluated: each call is
// the double click that follows one.
LRESULT dispatchLeftDoubleClick(void) {
  clickCount = 1;
  return sendToHook(dispatcher, WM_LBUTTONDBLCLK);
}

// Where the system ran the mouse hook in the daemon: the daemon's note, and
// the message as the program's get-message hook retrieves it.
HOOKPROC volatile retrieval = msgHookProc;

LRESULT retrieveMarshalled(UINT message) {
  noteMarshalledMessage(GetCurrentThreadId(), message, hookScene.pane);
  MSG msg = {};
  msg.hwnd = hookScene.pane;
  msg.message = message;
  msg.pt.x = 150;
  msg.pt.y = 150;
  return retrieval(HC_ACTION, PM_REMOVE, (LPARAM)&msg);
}

LRESULT retrieveMarshalledMove(void) { return retrieveMarshalled(WM_MOUSEMOVE); }

LRESULT retrieveMarshalledLeftPress(void) { return retrieveMarshalled(WM_LBUTTONDOWN); }

}  // namespace

const HookCase HOOK_CASES[] = {
    {"passThroughMove", "pass-through hook", useDefaultOptions, passThroughMove},
    {"moveWithDefaultOptions", "move, options as without `[Options]`", useDefaultOptions,
     dispatchMove},
    {"moveWithMasking", "move, focus-follows-mouse masking on", useMasking, dispatchMove},
    {"clickOnOneRuleList", "click on a list of one rule", useDefaultOptions, dispatchLeftPress},
    {"clickOnMaximalList", "click on a maximal list (9 rules x 35 Patterns, none holds)",
     useDefaultOptions, dispatchRightPress},
    {"clickOnProgramRule", "click on a list of one rule naming the program (`Process`)",
     useDefaultOptions, dispatchMiddlePress},
    {"clickOnTitleRule", "click on a list of one rule naming the title (`Title`)",
     useDefaultOptions, dispatchLeftDoubleClick},
    {"moveDecidedOnRetrieval", "move noted by the daemon, decided by the get-message hook",
     useDefaultOptions, retrieveMarshalledMove},
    {"clickDecidedOnRetrieval",
     "click on a list of one rule, noted by the daemon, decided by the get-message hook",
     useDefaultOptions, retrieveMarshalledLeftPress},
};

const int HOOK_CASE_COUNT = sizeof HOOK_CASES / sizeof HOOK_CASES[0];
