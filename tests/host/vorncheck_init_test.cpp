// vorncheck --init: the sample goes into %APPDATA%\vorn\vorn.ini only
// where no file is, and a file there is never touched. Host only: under
// Wine it would write into the prefix's own %APPDATA%, which other runs
// use; winsim points %APPDATA% at a scratch folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "sample_ini.h"
#include "sample_init.h"
#include "support/host_files.h"
#include "unit/loader_fixture.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

class VorncheckInitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temporary[MAX_PATH];
    GetTempPathA(MAX_PATH, temporary);
    roaming = std::string(temporary) + "vorn-init-" + std::to_string(getpid());
    mkdir(roaming.c_str(), 0777);
    winsimSetAppDataFolder(roaming.c_str());
  }

  void TearDown() override {
    winsimSetAppDataFolder(NULL);
    unlink((roaming + "/vorn/vorn.ini").c_str());
    rmdir((roaming + "/vorn").c_str());
    rmdir(roaming.c_str());
  }

  // Runs --init; its exit code, and what it said in `said`.
  int init(std::string *said) {
    FILE *out = tmpfile();
    int code = writeSampleConfiguration(out);
    rewind(out);
    char line[1024] = "";
    said->clear();
    while (fgets(line, sizeof line, out)) *said += line;
    fclose(out);
    return code;
  }

  std::string roaming;
};

TEST_F(VorncheckInitTest, WritesTheSampleWhereNoneIsAndNeverOverwrites) {
  const std::string sample((const char *)SAMPLE_INI, sizeof SAMPLE_INI);
  std::string said;
  // No vorn folder yet: made, with the sample in it.
  ASSERT_EQ(0, init(&said));
  EXPECT_NE(std::string::npos, said.find("wrote the annotated sample")) << said;
  EXPECT_EQ(sample, readHostFile(roaming + "/vorn/vorn.ini"));
  // The user's own rules are there: they stay, byte for byte.
  const std::string own = "[List1]\r\nHook1=NCMBUTTONUP\r\n";
  FILE *file = fopen((roaming + "/vorn/vorn.ini").c_str(), "wb");
  ASSERT_NE(nullptr, file);
  fwrite(own.data(), 1, own.size(), file);
  fclose(file);
  ASSERT_EQ(0, init(&said));
  EXPECT_NE(std::string::npos, said.find("there already: left as it is")) << said;
  EXPECT_EQ(own, readHostFile(roaming + "/vorn/vorn.ini"));
}

// The sample is what the daemon loads from there, when no other place
// holds a file.
TEST_F(VorncheckInitTest, TheSampleIsFoundWhereItWasWritten) {
  removeConfigurationFiles();
  std::string said;
  ASSERT_EQ(0, init(&said));
  ASSERT_EQ(1, loadConfiguration());
  EXPECT_EQ(appDataIni(), std::string(iniPath));
  releaseConfiguration();
}

}  // namespace
}  // namespace vorntest
