// vorncheck on a console: its text is in the ANSI code page, which a
// console (showing the OEM code page) would garble; it goes through
// WriteConsoleW instead. Into a file the bytes stay as they are. Host
// only: whether a stream is a console is winsim's control.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "diagnostics.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

class VorncheckConsoleTest : public ::testing::Test {
 protected:
  void TearDown() override { winsimSetConsole(FALSE); }
};

// "Café" in the ANSI code page (é is 0xE9 there).
const char FILE_NAME[] = "Caf\xE9.ini";

TEST_F(VorncheckConsoleTest, AConsoleShowsTheCharactersAFileGetsTheBytes) {
  Diagnostics found;
  found.warn(3, "class \"Fen\xEAtre\" is not ASCII");
  winsimSetConsole(TRUE);
  found.print(stdout, FILE_NAME);
  std::string shown = winsimConsoleText();
  EXPECT_NE(std::string::npos, shown.find("Caf\xC3\xA9.ini:3:")) << shown;  // UTF-8 of é
  EXPECT_NE(std::string::npos, shown.find("Fen\xC3\xAAtre")) << shown;

  FILE *file = tmpfile();
  ASSERT_NE(nullptr, file);
  found.print(file, FILE_NAME);
  rewind(file);
  char line[256] = "";
  ASSERT_NE(nullptr, fgets(line, sizeof line, file));
  fclose(file);
  EXPECT_EQ(0, std::string(line).find("Caf\xE9.ini:3:")) << line;
}

}  // namespace
}  // namespace vorntest
