#include "hook_scene.h"

#include <windows.h>

#include <stdio.h>

#include <string>

#include "bench_files.h"
#include "config/loader.h"
#include "support/maximal_match.h"
#include "support/win32_desktop.h"
#include "support/win32_files.h"

HookScene hookScene = {NULL, NULL, NULL};

namespace {

std::string configurationPath;
BOOL trackingBefore = FALSE;

// LBUTTONDOWN: one rule that holds. RBUTTONDOWN: the maximal list, 9
// rules none of which holds. MBUTTONDOWN: one rule that names the program,
// LBUTTONDBLCLK: one that names the main window's title, each with a wildcard
// and holding. All end in "Default", so that each click goes on to the
// next hook and changes no window.
std::string configuration() {
  std::string text =
      "[Options]\r\nUseXMOUSE=1\r\nMaskXMOUSEOnMOUSEMOVE=1\r\n"
      "[MaskXMOUSE]\r\nMatch=Panes\r\n"
      "[Match.Panes]\r\nnPattern=1\r\n1.Invoked.Class=vornBenchPane\r\n"
      "[List1]\r\nHook1=LBUTTONDOWN\r\n1.Match=Panes\r\n1.Action=Default\r\n"
      "[Match.Program]\r\nnPattern=1\r\n1.Process=vorn_hook*\r\n"
      "[Match.Title]\r\nnPattern=1\r\n1.Title=VORN B?NCH*\r\n"
      "[List3]\r\nHook1=MBUTTONDOWN\r\n1.Match=Program\r\n1.Action=Default\r\n"
      "[List4]\r\nHook1=LBUTTONDBLCLK\r\n1.Match=Title\r\n1.Action=Default\r\n"
      "[List2]\r\nHook1=RBUTTONDOWN\r\n";
  for (int rule = 1; rule <= 9; ++rule) {
    text += std::to_string(rule) + ".Match=M" + std::to_string(rule) + "\r\n";
    text += std::to_string(rule) + ".Action=NoAction\r\n";
  }
  text += "Default.Action=Default\r\n";
  for (int number = 1; number <= 9; ++number) {
    text += vorntest::maximalMatch(number, "vornBenchPane", "vornBench");
  }
  return text;
}

void registerClass(const char *name) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HWND makeWindow(const char *className, DWORD style, int x, int y, int width, int height,
                HWND parent) {
  return CreateWindowExA(0, className, "vorn bench", style, x, y, width, height, parent, NULL,
                         GetModuleHandleA(NULL), NULL);
}

int buildDesktop() {
  registerClass("vornBench");
  registerClass("vornBenchPane");
  DWORD topLevel = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  hookScene.main = makeWindow("vornBench", topLevel, 100, 100, 400, 300, NULL);
  hookScene.pane =
      makeWindow("vornBenchPane", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100, hookScene.main);
  hookScene.other = makeWindow("vornBench", topLevel, 550, 100, 300, 300, NULL);
  SetWindowPos(hookScene.other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The new windows finish showing and activating, so that nothing of
  // their creation is left to happen while the cases run.
  vorntest::pumpThreadMessages();
  return hookScene.main && hookScene.pane && hookScene.other;
}

// Four lists and three distinct matches besides the nine of the maximal list.
int compiledAsWritten() {
  const int lists = 4;
  const int matches = 3 + 9;
  return compiledListCount() == lists && compiledMatchCount() == matches;
}

int loadSceneConfiguration() {
  configurationPath =
      temporaryFilePath(("vorn-bench-" + std::to_string(GetCurrentProcessId()) + ".ini").c_str());
  return vorntest::writeFileBytes(configurationPath, configuration()) &&
         compileFilePrivately(configurationPath) && compiledAsWritten();
}

}  // namespace

int setUpHookScene(void) {
  SystemParametersInfoA(SPI_GETACTIVEWINDOWTRACKING, 0, &trackingBefore, 0);
  if (!buildDesktop()) {
    fprintf(stderr, "could not create the desktop windows\n");
    return 0;
  }
  if (!loadSceneConfiguration()) {
    fprintf(stderr, "could not write and compile %s\n", configurationPath.c_str());
    return 0;
  }
  return 1;
}

void tearDownHookScene(void) {
  releaseConfiguration();
  if (!configurationPath.empty()) DeleteFileA(configurationPath.c_str());
  if (hookScene.other) DestroyWindow(hookScene.other);
  if (hookScene.main) DestroyWindow(hookScene.main);
  hookScene = HookScene{NULL, NULL, NULL};
  SystemParametersInfoA(SPI_SETACTIVEWINDOWTRACKING, 0, (PVOID)(UINT_PTR)trackingBefore, 0);
}
