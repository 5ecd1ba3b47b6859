// What the daemon's message loop relies on, checked against the platform
// itself (winsim on the host, Windows under Wine): a folder's change
// notification, waited for beside the thread's messages, and a window's
// property list.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "winsim_scratch.h"

namespace {

using vorntest::ScratchFolder;

// Under Wine a change is reported a moment after it was made; winsim
// answers at once, and only moves its clock on.
const DWORD SIGNAL_WAIT_MS = 2000;
const DWORD NO_SIGNAL_WAIT_MS = 300;

const DWORD WATCHED_CHANGES =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

DWORD waitForChange(HANDLE change, DWORD milliseconds) {
  return MsgWaitForMultipleObjects(1, &change, FALSE, milliseconds, QS_ALLINPUT);
}

TEST(KernelChangeNotifications, EachChangeOfTheFolderSignalsUntilRenewed) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.write("watched.ini", "one"));
  const struct {
    const char *change;
    std::function<bool()> make;
  } changes[] = {
      {"a new file", [&] { return scratch.write("new.txt", "x"); }},
      {"a file written again", [&] { return scratch.write("watched.ini", "two, longer"); }},
      {"a file renamed",
       [&] {
         return MoveFileExA(scratch.path("new.txt").c_str(), scratch.path("renamed.txt").c_str(),
                            0) != 0;
       }},
      {"a file deleted", [&] { return DeleteFileA(scratch.path("watched.ini").c_str()) != 0; }},
  };
  HANDLE change = FindFirstChangeNotificationA(scratch.folder().c_str(), FALSE, WATCHED_CHANGES);
  ASSERT_NE(INVALID_HANDLE_VALUE, change);
  EXPECT_EQ(WAIT_TIMEOUT, waitForChange(change, NO_SIGNAL_WAIT_MS)) << "nothing changed yet";
  for (const auto &each : changes) {
    SCOPED_TRACE(each.change);
    ASSERT_TRUE(each.make());
    EXPECT_EQ(WAIT_OBJECT_0, waitForChange(change, SIGNAL_WAIT_MS));
    EXPECT_EQ(WAIT_OBJECT_0, waitForChange(change, 0)) << "signalled until renewed";
    // Wine may report one change as several: they are all taken before the
    // notification counts as quiet.
    for (int renewals = 0;
         renewals < 10 && waitForChange(change, NO_SIGNAL_WAIT_MS) == WAIT_OBJECT_0; ++renewals) {
      ASSERT_TRUE(FindNextChangeNotification(change));
    }
    EXPECT_EQ(WAIT_TIMEOUT, waitForChange(change, NO_SIGNAL_WAIT_MS)) << "renewed, and quiet";
  }
  EXPECT_TRUE(FindCloseChangeNotification(change));
}

TEST(KernelChangeNotifications, AFolderThatIsNotThereCannotBeWatched) {
  ScratchFolder scratch;
  EXPECT_EQ(INVALID_HANDLE_VALUE,
            FindFirstChangeNotificationA(scratch.path("missing").c_str(), FALSE, WATCHED_CHANGES));
}

TEST(KernelChangeNotifications, AWaitingMessageEndsTheWaitAfterTheObjects) {
  ScratchFolder scratch;
  HANDLE change = FindFirstChangeNotificationA(scratch.folder().c_str(), FALSE, WATCHED_CHANGES);
  ASSERT_NE(INVALID_HANDLE_VALUE, change);
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_USER + 3, 0, 0));
  EXPECT_EQ(WAIT_OBJECT_0 + 1, waitForChange(change, SIGNAL_WAIT_MS));
  ASSERT_TRUE(scratch.write("new.txt", "x"));
  // Both are ready: the object's index comes first.
  EXPECT_EQ(WAIT_OBJECT_0, waitForChange(change, SIGNAL_WAIT_MS));
  MSG message;
  EXPECT_TRUE(PeekMessageA(&message, NULL, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  FindCloseChangeNotification(change);
}

TEST(UserWindowProperties, SetReadAndRemovedByNameWithoutRegardToCase) {
  HWND window =
      CreateWindowExA(0, "Static", "properties", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(nullptr, GetPropA(window, "vornPaused"));
  EXPECT_TRUE(SetPropA(window, "vornPaused", (HANDLE)1));
  EXPECT_EQ((HANDLE)1, GetPropA(window, "VORNPAUSED"));
  EXPECT_TRUE(SetPropA(window, "vornPaused", (HANDLE)2));
  EXPECT_EQ((HANDLE)2, RemovePropA(window, "vornpaused"));
  EXPECT_EQ(nullptr, GetPropA(window, "vornPaused"));
  EXPECT_EQ(nullptr, RemovePropA(window, "vornPaused"));
  DestroyWindow(window);
}

}  // namespace
