// What the hooks cost a process they reach: the system loads the hook library into
// it at its first hooked event, and nothing else may come with the
// library (no C runtime, no DLL only the daemon's loader needs). The
// library's import table is proven by tests/static; this is what a
// process really loads. (Under Wine every GUI process has VERSION loaded
// already, and this program the C runtime it links.)
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "hook_library.h"
#include "message_pump.h"
#include "process_modules.h"
#include "scenario.h"
#include "vorn_names.h"

namespace e2e {
namespace {

class HookedProcess : public Scenario {};

TEST_F(HookedProcess, TheHooksBringTheLibraryAlone) {
  ASSERT_TRUE(writeConfiguration("[List1]\nHook1=MBUTTONUP\n"));
  HWND window = openWindow("modules", 100, 100);
  // Whatever starting a program or moving the pointer loads into this
  // process by itself is loaded before the first count.
  DWORD exitCode = 1;
  ASSERT_TRUE(daemons.run("--stop", 10000, &exitCode));
  ASSERT_TRUE(click(window, HTCLIENT, MIDDLE_BUTTON));
  pumpPending();
  std::set<std::string> before = loadedModules();
  ASSERT_FALSE(before.empty()) << "this process's modules cannot be listed";
  ASSERT_FALSE(hookLibraryPresent());

  ASSERT_TRUE(startDaemon());
  ASSERT_TRUE(click(window, HTCLIENT, MIDDLE_BUTTON));
  ASSERT_TRUE(pumpUntil([] { return hookLibraryPresent(); }))
      << "the hooks never reached this process";
  std::set<std::string> after = loadedModules();

  RecordProperty("modules_before", (int)before.size());
  RecordProperty("modules_after", (int)after.size());
  EXPECT_EQ(std::set<std::string>{VORN_LIBRARY_FILE}, modulesAdded(before, after))
      << "before: " << describeModules(before) << "\nafter: " << describeModules(after);
  EXPECT_TRUE(modulesAdded(after, before).empty()) << describeModules(modulesAdded(after, before));
}

}  // namespace
}  // namespace e2e
