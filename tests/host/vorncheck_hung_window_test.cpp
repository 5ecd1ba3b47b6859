// vorncheck --at over a window whose program does not answer: the report
// says so at once and stops short of what depends on the area. Host only:
// winsim can mark a thread hung (winsimHangThread); under Wine the
// end-to-end tests point at a window of a thread that waits.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "config/loader.h"
#include "point_report.h"
#include "private_compile.h"
#include "support/printed_text.h"
#include "support/win32_files.h"
#include "winsim/control.h"

namespace {

const char CLASS_NAME[] = "vornHungWindow";

class HungWindowPoint : public ::testing::Test {
 protected:
  void SetUp() override {
    winsimResetDesktop();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = CLASS_NAME;
    ASSERT_NE(0, RegisterClassA(&wc));
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    path = std::string(folder) + "vorncheck-hung.ini";
    ASSERT_TRUE(vorntest::writeFileBytes(
        path, "[List1]\nHook1=NCMBUTTONUP\nDefault.Action=LowerAndSwitch\n"));
    char fullPath[MAX_PATH];
    ASSERT_EQ(1, compilePrivately(path.c_str(), fullPath));
  }

  void TearDown() override {
    releaseConfiguration();
    DeleteFileA(path.c_str());
    winsimResetDesktop();
  }

  std::string path;
};

TEST_F(HungWindowPoint, AWindowThatDoesNotAnswerIsNotWaitedFor) {
  DWORD main = GetCurrentThreadId();
  DWORD other = winsimCreateThread();
  winsimSetCurrentThread(other);
  HWND window = CreateWindowExA(0, CLASS_NAME, "stuck", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                300, 200, NULL, NULL, NULL, NULL);
  winsimSetCurrentThread(main);
  ASSERT_NE(nullptr, window);
  winsimHangThread(other, TRUE);
  POINT caption = {250, 110};
  std::string text = vorntest::printedText(
      "vorncheck-hung.txt", [&](FILE *out) { explainPoint(caption, "vorn.ini", out); });
  EXPECT_NE(std::string::npos, text.find("class \"vornHungWindow\", title \"stuck\"")) << text;
  EXPECT_NE(std::string::npos, text.find("area: unknown: the window did not answer WM_NCHITTEST "
                                         "within 1000 ms (it may be hung)"))
      << text;
  EXPECT_EQ(std::string::npos, text.find("clicks here")) << text;
  EXPECT_NE(std::string::npos, text.find("[Match.vornHungWindow]\nnPattern=1\n"
                                         "1.Active.Class=vornHungWindow\n"))
      << text;
  EXPECT_EQ(std::string::npos, text.find("NCHitTest")) << text;

  winsimHangThread(other, FALSE);
  text = vorntest::printedText("vorncheck-hung.txt",
                               [&](FILE *out) { explainPoint(caption, "vorn.ini", out); });
  EXPECT_NE(std::string::npos, text.find("area: CAPTION")) << text;
  EXPECT_NE(std::string::npos, text.find("\"LowerAndSwitch\" runs")) << text;
}

}  // namespace
