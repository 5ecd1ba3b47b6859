// vorncheck --point and --at over a window whose program declared no DPI
// awareness, on a display scaled to 150 %: the window reads the point of a
// WM_NCHITTEST sent to it in its own scaled coordinates, so vorncheck,
// which works in physical pixels, converts the point for it first. Host
// only: Wine runs at 96 DPI here and scales no program.
#include <gtest/gtest.h>
#include <windows.h>

#include "window_at_point.h"
#include "winsim/control.h"

namespace {

const char CLASS_NAME[] = "vornScaledWindow";

class ScaledWindowPoint : public ::testing::Test {
 protected:
  void SetUp() override {
    winsimResetDesktop();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = CLASS_NAME;
    ASSERT_NE(0, RegisterClassA(&wc));
    window = CreateWindowExA(0, CLASS_NAME, "scaled", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200,
                             400, 300, NULL, NULL, NULL, NULL);
    ASSERT_NE(nullptr, window);
  }

  void TearDown() override { winsimResetDesktop(); }

  static LRESULT askedAsItIs(HWND window, POINT point) {
    return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  }

  HWND window = NULL;
  POINT onCaption = {450, 210};  // physical pixels, just under the top edge
};

TEST_F(ScaledWindowPoint, TheCaptionIsFoundInTheWindowsOwnCoordinates) {
  WindowAtPoint found;
  lookAtPoint(onCaption, &found);
  ASSERT_EQ(window, found.window);
  EXPECT_EQ(HTCAPTION, found.hitTest);

  ASSERT_EQ(1, winsimSetWindowDpiScale(window, 150));
  // Sent unconverted, the point lands a half again further into the
  // window: (675, 315), in its client area.
  EXPECT_EQ(HTCLIENT, askedAsItIs(window, onCaption));
  lookAtPoint(onCaption, &found);
  ASSERT_EQ(window, found.window);
  EXPECT_EQ(1, found.answered);
  EXPECT_EQ(HTCAPTION, found.hitTest);
  EXPECT_EQ(450, found.point.x) << "the report keeps the point as given";
}

}  // namespace
