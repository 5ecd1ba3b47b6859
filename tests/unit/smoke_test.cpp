#include <gtest/gtest.h>
#include <windows.h>

TEST(Smoke, LstrcmpIsExact) { EXPECT_NE(0, lstrcmpA("a", "A")); }
