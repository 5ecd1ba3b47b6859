// The system functions the library looks up at run time answer as the
// system's own do: the same results and the same buffers.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <shlobj.h>

#include <string.h>

#include <string>
#include <vector>

#include "system/delay_loaded.h"

namespace {

TEST(DelayLoaded, FolderPathAnswersAsTheSystemsOwn) {
  WCHAR looked[MAX_PATH] = {0};
  WCHAR direct[MAX_PATH] = {0};
  ASSERT_EQ(SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, direct),
            delayLoaded::SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, looked));
  EXPECT_EQ(0, memcmp(direct, looked, sizeof direct));
  EXPECT_NE(0, looked[0]);
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
