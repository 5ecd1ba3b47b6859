// The daemon run in-process against winsim, with a vorn.ini of one list:
// what every daemon test sets up and takes down. Each test drives the
// message loop through winsim's idle handler.
#pragma once

#include <vector>

#include "instance_lock.h"
#include "startup.h"
#include "unit/loader_fixture.h"
#include "vorn.h"
#include "winsim/control.h"

namespace vorntest {

class DaemonFixture : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    winsimResetDesktop();
    winsimResetKernel();
    winsimClearRecords();
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(), "[List1]\nHook1=LBUTTONUP\n"));
  }

  void TearDown() override {
    releaseInstanceLock();
    winsimSetIdleHandler(NULL);
    winsimFailUnhookWindowsHook(FALSE);
    MyEndHook();
    winsimResetDesktop();
    winsimResetKernel();
    LoaderTest::TearDown();
  }

  // vornd with `arguments` after its name, as the C runtime splits them.
  static int run(std::vector<const char *> arguments) {
    arguments.insert(arguments.begin(), "vornd.exe");
    return vorndMain(GetModuleHandleA(NULL), (int)arguments.size(),
                     const_cast<char **>(arguments.data()));
  }
};

}  // namespace vorntest
