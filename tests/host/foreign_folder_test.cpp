// vorn.ini in a folder whose name the ANSI code page cannot hold (a
// Cyrillic user name on a Western system). The A functions name such a
// folder with '?' for each missing character, and no file opens under
// that name; the loader finds the file through the W functions and hands
// the profile functions its short (8.3) name. Host only: Wine's ANSI code
// page and short names depend on the prefix's locale and drive, and
// winsim can switch a volume's short names off.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "config/status_entry.h"
#include "support/host_files.h"
#include "unit/loader_fixture.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

class ForeignFolderTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    char temporary[MAX_PATH];
    GetTempPathA(MAX_PATH, temporary);
    root = std::string(temporary) + "vorn-foreign-" + std::to_string(getpid());
    mkdir(root.c_str(), 0777);
  }

  void TearDown() override {
    winsimResetKernel();
    for (const std::string &file : made) unlink(file.c_str());
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) rmdir(folder->c_str());
    rmdir(root.c_str());
    LoaderTest::TearDown();
  }

  // Makes root/<name> (UTF-8) and returns it.
  std::string folder(const std::string &name) {
    std::string path = root + "/" + name;
    mkdir(path.c_str(), 0777);
    folders.push_back(path);
    return path;
  }

  void writeIni(const std::string &folderPath, const std::string &text) {
    std::string path = folderPath + "/vorn.ini";
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    made.push_back(path);
  }

  std::string root;
  std::vector<std::string> folders;
  std::vector<std::string> made;
};

const char RULES[] = "[List1]\nHook1=LBUTTONUP\n";

// The program's folder: found by its ANSI name where the code page holds
// it, else by its short name; not at all on a volume without short names.
TEST_F(ForeignFolderTest, TheProgramsFolderIsFoundWhateverItsName) {
  struct Case {
    const char *name;
    BOOL shortNames;
    int found;
  } cases[] = {
      {"Caf\xC3\xA9", FALSE, 1},                                // "Café": in the code page
      {"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", TRUE, 1},            // "Иван": short name
      {"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xD0\x9F", FALSE, 0},  // no short name to be had
  };
  for (const Case &c : cases) {
    std::string program = folder(c.name);
    writeIni(program, RULES);
    winsimSetProgramPath((program + "/vornd.exe").c_str());
    winsimSetShortNames(c.shortNames);
    releaseConfiguration();
    EXPECT_EQ(c.found, loadConfiguration()) << c.name;
    if (c.found) {
      EXPECT_EQ(nullptr, strchr(iniPath, '?')) << c.name << ": " << iniPath;
      EXPECT_EQ(60, image().header(HEADER_SLOT_LBUTTONUP)) << c.name;
      // The one entry vorn writes lands in the same file.
      EXPECT_EQ(1, writeStatusError(iniPath)) << c.name;
      EXPECT_NE(std::string::npos, readHostFile(program + "/vorn.ini").find("Error=")) << c.name;
    }
  }
}

// %APPDATA% under a user name outside the code page is looked in too, and
// wins over the program's folder.
TEST_F(ForeignFolderTest, AppDataUnderAForeignUserNameIsFound) {
  std::string user = folder("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");  // "Иван"
  std::string roaming = folder("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD/Roaming");
  std::string vorn = folder("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD/Roaming/vorn");
  writeIni(vorn, "[List1]\nHook1=RBUTTONDOWN\n");
  winsimSetAppDataFolder(roaming.c_str());
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), RULES));
  ASSERT_EQ(1, loadConfiguration());
  EXPECT_EQ(60, image().header(HEADER_SLOT_RBUTTONDOWN)) << iniPath;
  EXPECT_EQ(-1, image().header(HEADER_SLOT_LBUTTONUP));
  EXPECT_EQ(nullptr, strchr(iniPath, '?')) << iniPath;
}

}  // namespace
}  // namespace vorntest
