// The record of calls that tests inspect through the control API: sent and
// posted messages, key strokes, settings, window moves, foreground
// requests, message boxes and CallNextHookEx calls, and how often two
// queries were made. Fixed-size rings, so
// recording never allocates.
#pragma once

#include <windows.h>

namespace winsim {

void recordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int kind);
void recordKey(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo, int batch);
int nextInputBatch();  // numbers the SendInput calls since the last clear
void recordSetting(UINT action, UINT uiParam, PVOID pvParam, UINT winIni);
void recordWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
void recordForeground(HWND window);
void recordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
void recordWideMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
void recordCallNextHook(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
void countGetClassName();
void countDwmAttribute();
void clearRecords();

}  // namespace winsim
