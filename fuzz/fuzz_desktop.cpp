#include "fuzz_desktop.h"

#include <windows.h>

#include "support/win32_desktop.h"
#include "winsim/control.h"

namespace {

using vorntest::rectAt;

const char FRAME_CLASS[] = "vornFuzzFrame";
const char DOCUMENT_CLASS[] = "vornFuzzDocument";
const DWORD TOP_LEVEL = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
const DWORD CHILD = WS_CHILD | WS_VISIBLE;

// The MDI client of the one frame: DefFrameProcA needs it on every call.
HWND mdiClient = NULL;

HINSTANCE instance() { return GetModuleHandleA(NULL); }

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefFrameProcA(window, mdiClient, message, wParam, lParam);
}

void registerClass(const char *name, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance();
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HWND makeWindow(DWORD exStyle, const char *className, DWORD style, RECT r, HWND parent,
                LPVOID param = NULL) {
  return CreateWindowExA(exStyle, className, "fuzz", style, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, parent, NULL, instance(), param);
}

POINT centreOf(HWND window) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(window, &r);
  POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  return p;
}

void addClick(FuzzClick clicks[], int *count, HWND window, int hitTest) {
  if (*count >= FUZZ_MAX_CLICKS) return;
  clicks[*count].window = window;
  clicks[*count].hitTest = hitTest;
  clicks[*count].point = centreOf(window);
  ++*count;
}

void registerClasses() {
  registerClass("Progman", DefWindowProcA);
  registerClass("Shell_TrayWnd", DefWindowProcA);
  registerClass("Notepad", DefWindowProcA);
  registerClass("Edit", DefWindowProcA);
  registerClass("#32770", DefWindowProcA);
  registerClass("Button", DefWindowProcA);
  registerClass("vornFuzzIcon", DefWindowProcA);
  registerClass(FRAME_CLASS, frameProc);
  registerClass(DOCUMENT_CLASS, DefMDIChildProcA);
}

HWND makeMdiDocument(RECT r) {
  return CreateWindowExA(WS_EX_MDICHILD, DOCUMENT_CLASS, "document", TOP_LEVEL, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, mdiClient, NULL, instance(), NULL);
}

}  // namespace

int buildFuzzDesktop(FuzzClick clicks[FUZZ_MAX_CLICKS]) {
  winsimResetDesktop();
  registerClasses();
  int count = 0;

  HWND shell = makeWindow(0, "Progman", WS_POPUP | WS_VISIBLE, rectAt(0, 0, 1024, 768), NULL);
  HWND tray = makeWindow(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", WS_POPUP | WS_VISIBLE,
                         rectAt(0, 738, 1024, 30), NULL);
  HWND icon = makeWindow(0, "vornFuzzIcon", TOP_LEVEL, rectAt(40, 40, 200, 150), NULL);
  ShowWindow(icon, SW_SHOWMINNOACTIVE);

  HWND frame = makeWindow(0, FRAME_CLASS, TOP_LEVEL, rectAt(300, 100, 600, 450), NULL);
  CLIENTCREATESTRUCT clientCreate = {NULL, 0xFF00};
  mdiClient = makeWindow(0, "MDICLIENT", CHILD | WS_CLIPCHILDREN, rectAt(0, 0, 580, 400), frame,
                         &clientCreate);
  HWND document = makeMdiDocument(rectAt(10, 10, 300, 200));
  HWND secondDocument = makeMdiDocument(rectAt(60, 60, 300, 200));
  HWND documentEdit = makeWindow(0, "Edit", CHILD, rectAt(5, 5, 200, 100), secondDocument);

  HWND notepad = makeWindow(0, "Notepad", TOP_LEVEL, rectAt(100, 200, 500, 400), NULL);
  HWND edit = makeWindow(0, "Edit", CHILD, rectAt(0, 0, 480, 350), notepad);
  HWND dialog = makeWindow(0, "#32770", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                           rectAt(200, 250, 250, 150), notepad);
  HWND button = makeWindow(0, "Button", CHILD, rectAt(20, 20, 80, 30), dialog);

  HWND gone = makeWindow(0, "Notepad", TOP_LEVEL, rectAt(0, 0, 100, 100), NULL);
  DestroyWindow(gone);

  SetForegroundWindow(notepad);
  SetFocus(edit);
  pumpFuzzDesktop();

  addClick(clicks, &count, edit, HTCLIENT);
  addClick(clicks, &count, notepad, HTCAPTION);
  addClick(clicks, &count, notepad, HTMINBUTTON);
  addClick(clicks, &count, button, HTCLIENT);
  addClick(clicks, &count, dialog, HTCAPTION);
  addClick(clicks, &count, document, HTCAPTION);
  addClick(clicks, &count, documentEdit, HTCLIENT);
  addClick(clicks, &count, frame, HTCAPTION);
  addClick(clicks, &count, shell, HTCLIENT);
  addClick(clicks, &count, tray, HTCLIENT);
  addClick(clicks, &count, icon, HTCAPTION);
  addClick(clicks, &count, gone, HTCLIENT);
  addClick(clicks, &count, notepad, HTERROR);
  return count;
}

void pumpFuzzDesktop(void) { vorntest::pumpThreadMessages(); }
