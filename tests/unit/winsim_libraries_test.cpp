// Loading system DLLs at run time, as winsim must agree with Windows about
// it for the DLLs the library finds that way: names found whatever their
// letter case, folder and extension, functions found by exact name, and
// one reference per load.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <string>

namespace {

std::string systemLibraryPath(const char *name) {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  EXPECT_GT(length, 0u);
  return std::string(folder) + "\\" + name;
}

TEST(WinsimLibraries, OneLibraryWhateverItsNameIsWritten) {
  HMODULE plain = LoadLibraryA("shlwapi.dll");
  ASSERT_NE(nullptr, plain);
  HMODULE upper = LoadLibraryA("SHLWAPI.DLL");
  HMODULE bare = LoadLibraryA("shlwapi");
  HMODULE full = LoadLibraryA(systemLibraryPath("shlwapi.dll").c_str());
  EXPECT_EQ(plain, upper);
  EXPECT_EQ(plain, bare);
  EXPECT_EQ(plain, full);
  for (HMODULE module : {full, bare, upper, plain}) EXPECT_TRUE(FreeLibrary(module));
}

TEST(WinsimLibraries, FunctionsAreFoundByTheirExactNames) {
  HMODULE version = LoadLibraryA("version.dll");
  ASSERT_NE(nullptr, version);
  EXPECT_NE(nullptr, GetProcAddress(version, "GetFileVersionInfoSizeA"));
  EXPECT_NE(nullptr, GetProcAddress(version, "VerQueryValueA"));
  SetLastError(0);
  EXPECT_EQ(nullptr, GetProcAddress(version, "verqueryvaluea"));
  EXPECT_EQ((DWORD)ERROR_PROC_NOT_FOUND, GetLastError());
  EXPECT_EQ(nullptr, GetProcAddress(version, "NoSuchFunctionInVersion"));
  EXPECT_TRUE(FreeLibrary(version));
}

TEST(WinsimLibraries, AFunctionFoundIsTheLibrarysOwn) {
  HMODULE shlwapi = LoadLibraryA("shlwapi.dll");
  ASSERT_NE(nullptr, shlwapi);
  typedef BOOL(WINAPI * Append)(LPSTR, LPCSTR);
  Append append = (Append)(void *)GetProcAddress(shlwapi, "PathAppendA");
  ASSERT_NE(nullptr, append);
  char found[MAX_PATH] = "C:\\vorn";
  char direct[MAX_PATH] = "C:\\vorn";
  EXPECT_EQ(PathAppendA(direct, "vorn.ini"), append(found, "vorn.ini"));
  EXPECT_STREQ(direct, found);
  EXPECT_TRUE(FreeLibrary(shlwapi));
}

TEST(WinsimLibraries, ALibraryThatDoesNotExistIsNotFound) {
  SetLastError(0);
  EXPECT_EQ(nullptr, LoadLibraryA("vorn-no-such-library.dll"));
  EXPECT_EQ((DWORD)ERROR_MOD_NOT_FOUND, GetLastError());
}

}  // namespace
