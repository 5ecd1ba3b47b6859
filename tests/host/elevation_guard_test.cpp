// An elevated vornd runs only from a folder that nobody but Administrators,
// SYSTEM and TrustedInstaller (and, where no program of the user runs at a
// lower level, the user) may change. Host only: elevation and a
// folder's owner and DACL are winsim's controls (Wine runs nothing
// elevated and reports no real DACLs).
#include "unit/loader_fixture.h"

#include <string.h>

#include <string>

#include "control_window.h"
#include "elevation_guard.h"
#include "instance_lock.h"
#include "startup.h"
#include "vorn.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

const std::string TI = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// C:\Program Files as Windows sets it up.
const std::string PROGRAM_FILES =
    "O:" + TI + "D:P(A;CIIO;GA;;;" + TI + ")(A;;FA;;;" + TI +
    ")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
    "(A;;0x1200a9;;;BU)(A;OICIIO;GX;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)(A;OICIIO;GX;;;AC)";
const char USER[] = "S-1-5-21-1111111111-2222222222-3333333333-1001";

// How the daemon runs: not elevated; elevated by UAC, while the user's
// other programs run with the linked limited token at Medium; elevated
// with UAC off (no linked token); elevated with a linked token at its own
// level (as Wine has it).
enum Run { PLAIN, UAC_ELEVATED, UAC_OFF, TWIN_AT_SAME_LEVEL };

struct FolderCase {
  const char *what;
  Run run;
  std::string descriptor;  // empty: the default, a folder of the user's profile
  bool runs;
};

const std::string USERS_MODIFY = "(A;OICI;0x1301bf;;;BU)";

const FolderCase FOLDER_CASES[] = {
    {"not elevated, in the user's profile", PLAIN, "", true},
    {"elevated, in the user's profile", UAC_ELEVATED, "", false},
    {"elevated, under Program Files", UAC_ELEVATED, PROGRAM_FILES, true},
    {"a deny entry grants nothing", UAC_ELEVATED, PROGRAM_FILES + "(D;;FA;;;BU)", true},
    {"Users may modify the folder", UAC_ELEVATED, PROGRAM_FILES + USERS_MODIFY, false},
    {"Users may add files", UAC_ELEVATED, PROGRAM_FILES + "(A;;0x2;;;BU)", false},
    {"Authenticated Users may write the files in it", UAC_ELEVATED,
     PROGRAM_FILES + "(A;OIIO;FW;;;AU)", false},
    {"Users may change its permissions", UAC_ELEVATED, PROGRAM_FILES + "(A;;WD;;;BU)", false},
    {"owned by the user", UAC_ELEVATED,
     "O:" + std::string(USER) + "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)", false},
    {"no DACL: everyone may do anything", UAC_ELEVATED, "O:BA", false},
    {"UAC off: the user's own folder puts nothing at risk", UAC_OFF, "", true},
    {"UAC off: a folder other users may modify", UAC_OFF, PROGRAM_FILES + USERS_MODIFY, false},
    {"a linked token at the same level", TWIN_AT_SAME_LEVEL, "", true},
};

class ElevationGuardTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(), "[List1]\nHook1=LBUTTONUP\n"));
  }

  void TearDown() override {
    winsimSetIdleHandler(NULL);
    MyEndHook();
    winsimResetDesktop();
    winsimResetKernel();
    LoaderTest::TearDown();
  }

  static std::string programFolder() {
    char path[MAX_PATH];
    std::string file(path, GetModuleFileNameA(NULL, path, MAX_PATH));
    return file.substr(0, file.find_last_of("\\/"));
  }
};

TEST_F(ElevationGuardTest, AnElevatedDaemonRunsOnlyFromAFolderOnlyAdministratorsMayChange) {
  for (const FolderCase &folder : FOLDER_CASES) {
    SCOPED_TRACE(folder.what);
    winsimResetDesktop();
    winsimResetKernel();
    winsimClearRecords();
    DWORD self = GetCurrentProcessId();
    winsimSetProcessElevated(self, folder.run != PLAIN);
    if (folder.run != PLAIN) winsimSetProcessIntegrity(self, SECURITY_MANDATORY_HIGH_RID);
    if (folder.run == UAC_ELEVATED)
      winsimSetProcessLinkedToken(self, SECURITY_MANDATORY_MEDIUM_RID);
    if (folder.run == TWIN_AT_SAME_LEVEL) {
      winsimSetProcessLinkedToken(self, SECURITY_MANDATORY_HIGH_RID);
    }
    if (!folder.descriptor.empty()) {
      ASSERT_EQ(1, winsimSetFileSecurity(programFolder().c_str(), folder.descriptor.c_str()));
    }
    winsimSetIdleHandler([] {
      if (HWND own = findControlWindow()) PostMessageA(own, WM_CLOSE, 0, 0);
    });
    int idleExits = winsimIdleExitCount();
    const char *arguments[] = {"vornd.exe"};
    EXPECT_EQ(0, vorndMain(GetModuleHandleA(NULL), 1, const_cast<char **>(arguments)));
    int broadcasts = winsimCountMessages(HWND_BROADCAST, WM_WININICHANGE, WINSIM_SENT);
    if (folder.runs) {
      EXPECT_EQ(2, broadcasts) << "hooked, then closed";
      EXPECT_EQ(0, winsimMessageBoxRecordCount());
    } else {
      EXPECT_EQ(0, broadcasts);
      EXPECT_EQ(idleExits, winsimIdleExitCount()) << "no message loop ran";
      ASSERT_EQ(1, winsimMessageBoxRecordCount());
      const WinsimMessageBoxRecord *box = winsimMessageBoxRecord(0);
      EXPECT_STREQ(elevatedFolderText, box->text);
      EXPECT_NE(nullptr, strstr(box->text, "C:\\Program Files"));
      EXPECT_STREQ("vorn", box->caption);
    }
    EXPECT_EQ(0, IsHooking());
  }
}

}  // namespace
}  // namespace vorntest
