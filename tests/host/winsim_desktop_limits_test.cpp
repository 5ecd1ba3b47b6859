// Where winsim's desktop is smaller than Windows': its tables have fixed
// sizes, and a request beyond them must fail cleanly instead of reaching
// past a table. Host only: Windows has other limits (or none) here, so the
// same requests succeed under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <limits.h>

#include "winsim/control.h"

namespace {

const char *const CLASS_NAME = "vornDesktopLimitsTest";
// The extra bytes a winsim window can hold.
const int EXTRA_BYTES_HELD = 64;

class DesktopLimits : public ::testing::Test {
 protected:
  void SetUp() override { winsimResetDesktop(); }
  void TearDown() override { winsimResetDesktop(); }

  static ATOM registerWithExtra(int classExtra, int windowExtra) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = CLASS_NAME;
    wc.cbClsExtra = classExtra;
    wc.cbWndExtra = windowExtra;
    return RegisterClassA(&wc);
  }
};

TEST_F(DesktopLimits, ClassesAskingForMoreWindowBytesThanAWindowHoldsAreRefused) {
  SetLastError(0);
  EXPECT_EQ(0, registerWithExtra(0, EXTRA_BYTES_HELD + 4));
  EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_EQ(0, registerWithExtra(0, 4096));
  EXPECT_EQ(0, registerWithExtra(0, -4)) << "negative window bytes";
  EXPECT_EQ(0, registerWithExtra(-4, 0)) << "negative class bytes";
  EXPECT_EQ(nullptr,
            CreateWindowExA(0, CLASS_NAME, "vorn", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL))
      << "a refused class is not registered";
}

TEST_F(DesktopLimits, WindowLongsStopAtTheEndOfTheExtraBytes) {
  ASSERT_NE(0, registerWithExtra(0, EXTRA_BYTES_HELD));
  HWND window =
      CreateWindowExA(0, CLASS_NAME, "vorn", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
  ASSERT_NE(nullptr, window);
  const int last = EXTRA_BYTES_HELD - (int)sizeof(LONG);
  EXPECT_EQ(0, SetWindowLongA(window, 0, 0x11223344));
  EXPECT_EQ(0, SetWindowLongA(window, last, 0x55667788));
  EXPECT_EQ(0x11223344, GetWindowLongA(window, 0));
  EXPECT_EQ(0x55667788, GetWindowLongA(window, last));
  for (int index : {last + 1, EXTRA_BYTES_HELD, INT_MAX - 2}) {
    SetLastError(0);
    EXPECT_EQ(0, SetWindowLongA(window, index, 0x7EADBEEF)) << index;
    EXPECT_EQ((DWORD)ERROR_INVALID_INDEX, GetLastError()) << index;
    SetLastError(0);
    EXPECT_EQ(0, GetWindowLongA(window, index)) << index;
    EXPECT_EQ((DWORD)ERROR_INVALID_INDEX, GetLastError()) << index;
  }
  EXPECT_EQ(0x55667788, GetWindowLongA(window, last)) << "a refused write changes nothing";
}

}  // namespace
