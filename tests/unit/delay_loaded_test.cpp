// The system functions the library looks up at run time answer as the
// system's own do: the same results and the same buffers.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "system/delay_loaded.h"

namespace {

TEST(DelayLoaded, PathFunctionsAnswerAsTheSystemsOwn) {
  const char *cases[][2] = {{"C:\\vorn", "vorn.ini"}, {"C:\\vorn\\", "vorn.ini"}, {"", "x"}};
  for (const auto &c : cases) {
    char looked[MAX_PATH];
    char direct[MAX_PATH];
    lstrcpyA(looked, c[0]);
    lstrcpyA(direct, c[0]);
    EXPECT_EQ(PathAppendA(direct, c[1]), delayLoaded::PathAppendA(looked, c[1])) << c[0];
    EXPECT_STREQ(direct, looked);
    EXPECT_EQ(PathRemoveFileSpecA(direct), delayLoaded::PathRemoveFileSpecA(looked)) << c[0];
    EXPECT_STREQ(direct, looked);
  }
}

TEST(DelayLoaded, VersionFunctionsReadTheShellsVersion) {
  char path[MAX_PATH];
  ASSERT_NE(0u, SearchPathA(NULL, "shell32.dll", NULL, MAX_PATH, path, NULL));
  DWORD ignored = 0;
  DWORD size = delayLoaded::GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_EQ(GetFileVersionInfoSizeA(path, &ignored), size);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(delayLoaded::GetFileVersionInfoA(path, 0, size, block.data()));
  VS_FIXEDFILEINFO *info = NULL;
  UINT length = 0;
  ASSERT_TRUE(delayLoaded::VerQueryValueA(block.data(), "\\", (LPVOID *)&info, &length));
  ASSERT_NE(nullptr, info);
  EXPECT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(VS_FFI_SIGNATURE, info->dwSignature);
}

TEST(DelayLoaded, AFileWithoutVersionGivesNone) {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  lstrcatA(path, "vorn-no-such-file.dll");
  DWORD ignored = 0;
  EXPECT_EQ(0u, delayLoaded::GetFileVersionInfoSizeA(path, &ignored));
}

}  // namespace
