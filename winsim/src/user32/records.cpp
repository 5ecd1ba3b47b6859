// The call records behind the control API (see records.h).
#include "records.h"

#include <windows.h>

#include <string.h>
#include <wchar.h>

#include "desktop_state.h"
#include "winsim/control.h"

namespace winsim {

namespace {

// Keeps the newest `CAPACITY` entries; index 0 is the oldest kept.
template <typename Entry, int CAPACITY>
struct Ring {
  Entry entries[CAPACITY];
  long total;

  void clear() { total = 0; }
  Entry &append() {
    Entry &slot = entries[total % CAPACITY];
    ++total;
    return slot;
  }
  int count() const { return total < CAPACITY ? (int)total : CAPACITY; }
  const Entry *at(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    long first = total - count();
    return &entries[(first + index) % CAPACITY];
  }
};

Ring<WinsimMessageRecord, 2048> messages;
Ring<WinsimKeyRecord, 256> keys;
Ring<WinsimSettingRecord, 256> settings;
Ring<WinsimWindowPosRecord, 512> windowPositions;
Ring<HWND, 256> foregrounds;
Ring<WinsimMessageBoxRecord, 16> messageBoxes;
Ring<WinsimHookCallRecord, 1024> hookCalls;
int getClassNameCalls;
int dwmAttributeCalls;
int inputBatches;

void copyBytes(char *target, LPCSTR source) {
  target[0] = '\0';
  if (source) strncat(target, source, WINSIM_MESSAGE_BOX_TEXT - 1);
}

void copyCharacters(WCHAR *target, LPCWSTR source) {
  target[0] = L'\0';
  if (source) wcsncat(target, source, WINSIM_MESSAGE_BOX_TEXT - 1);
}

}  // namespace

void recordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int kind) {
  messages.append() = {window, message, wParam, lParam, kind, desktop().currentThreadId};
}

void recordKey(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo, int batch) {
  keys.append() = {virtualKey, scanCode, flags, extraInfo, batch};
}

int nextInputBatch() { return ++inputBatches; }

void recordSetting(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) {
  settings.append() = {action, uiParam, pvParam, winIni};
}

void recordWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  windowPositions.append() = {window, insertAfter, x, y, cx, cy, flags};
}

void recordForeground(HWND window) { foregrounds.append() = window; }

void recordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  WinsimMessageBoxRecord &r = messageBoxes.append();
  r = WinsimMessageBoxRecord();
  r.owner = owner;
  copyBytes(r.text, text);
  copyBytes(r.caption, caption);
  r.type = type;
}

void recordWideMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  WinsimMessageBoxRecord &r = messageBoxes.append();
  r = WinsimMessageBoxRecord();
  r.owner = owner;
  r.wide = TRUE;
  copyCharacters(r.wideText, text);
  copyCharacters(r.wideCaption, caption);
  r.type = type;
}

void recordCallNextHook(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  hookCalls.append() = {hook, code, wParam, lParam};
}

void countGetClassName() { ++getClassNameCalls; }

void countDwmAttribute() { ++dwmAttributeCalls; }

void clearRecords() {
  messages.clear();
  keys.clear();
  settings.clear();
  windowPositions.clear();
  foregrounds.clear();
  messageBoxes.clear();
  hookCalls.clear();
  getClassNameCalls = 0;
  dwmAttributeCalls = 0;
  inputBatches = 0;
}

}  // namespace winsim

using namespace winsim;

extern "C" {

void winsimClearRecords(void) { clearRecords(); }

int winsimMessageRecordCount(void) { return messages.count(); }
const WinsimMessageRecord *winsimMessageRecord(int index) { return messages.at(index); }

int winsimCountMessages(HWND window, UINT message, int kind) {
  int found = 0;
  for (int i = 0; i < messages.count(); ++i) {
    const WinsimMessageRecord *r = messages.at(i);
    if (r->message != message) continue;
    if (window && r->window != window) continue;
    if (kind >= 0 && r->kind != kind) continue;
    ++found;
  }
  return found;
}

int winsimKeyRecordCount(void) { return keys.count(); }
const WinsimKeyRecord *winsimKeyRecord(int index) { return keys.at(index); }

int winsimSettingRecordCount(void) { return settings.count(); }
const WinsimSettingRecord *winsimSettingRecord(int index) { return settings.at(index); }

int winsimWindowPosRecordCount(void) { return windowPositions.count(); }
const WinsimWindowPosRecord *winsimWindowPosRecord(int index) { return windowPositions.at(index); }

int winsimForegroundRecordCount(void) { return foregrounds.count(); }
HWND winsimForegroundRecord(int index) {
  const HWND *entry = foregrounds.at(index);
  return entry ? *entry : NULL;
}

int winsimMessageBoxRecordCount(void) { return messageBoxes.count(); }
const WinsimMessageBoxRecord *winsimMessageBoxRecord(int index) { return messageBoxes.at(index); }

int winsimCallNextHookRecordCount(void) { return hookCalls.count(); }
const WinsimHookCallRecord *winsimCallNextHookRecord(int index) { return hookCalls.at(index); }

int winsimGetClassNameCallCount(void) { return getClassNameCalls; }

int winsimDwmAttributeCallCount(void) { return dwmAttributeCalls; }

}  // extern "C"
