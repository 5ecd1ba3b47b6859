// Whether the library is hooking: any one of the three hook handles is
// enough. Only the shared handles are set; no hook is installed.
#include <gtest/gtest.h>
#include <windows.h>

#include "hooks/hook_state.h"
#include "vorn.h"

namespace {

class HookHandlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved[0] = mouseHook;
    saved[1] = getMessageHook;
    saved[2] = callWndProcRetHook;
    set(NULL, NULL, NULL);
  }

  void TearDown() override { set(saved[0], saved[1], saved[2]); }

  static void set(HHOOK mouse, HHOOK message, HHOOK windowReturn) {
    mouseHook = mouse;
    getMessageHook = message;
    callWndProcRetHook = windowReturn;
  }

  HHOOK saved[3] = {NULL, NULL, NULL};
};

TEST_F(HookHandlesTest, AnyOneHookLeftIsHooking) {
  HHOOK const handle = (HHOOK)(UINT_PTR)0x7301;
  EXPECT_EQ(0, IsHooking());
  set(handle, NULL, NULL);
  EXPECT_EQ(1, IsHooking());
  set(NULL, handle, NULL);
  EXPECT_EQ(1, IsHooking());
  set(NULL, NULL, handle);
  EXPECT_EQ(1, IsHooking());
  set(handle, handle, handle);
  EXPECT_EQ(1, IsHooking());
}

}  // namespace
