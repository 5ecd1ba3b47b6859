// Named mutexes as the daemon's instance lock uses them, checked against
// the platform itself (winsim on the host, Windows under Wine): a second
// create of a name opens the same mutex and says so, and the name is free
// again once every handle is closed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

TEST(KernelMutex, ASecondCreateOpensTheSameNameAndSaysSoUntilEveryHandleIsClosed) {
  std::string name = "vorn-test-mutex-" + std::to_string(GetCurrentProcessId());
  HANDLE first = CreateMutexA(NULL, FALSE, name.c_str());
  ASSERT_NE(nullptr, first);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
  HANDLE second = CreateMutexA(NULL, FALSE, name.c_str());
  ASSERT_NE(nullptr, second);
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
  CloseHandle(first);
  HANDLE third = CreateMutexA(NULL, FALSE, name.c_str());
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError()) << "the second handle still holds it";
  CloseHandle(second);
  CloseHandle(third);
  HANDLE again = CreateMutexA(NULL, FALSE, name.c_str());
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError()) << "no handle held it any more";
  CloseHandle(again);
}

}  // namespace
