// Finding vorn.ini, the options, the XMouseMode, and the section's life.
#include "unit/loader_fixture.h"

#include <string.h>

#include <algorithm>

#include "config/image_publish.h"
#include "config/xmouse_mode.h"

namespace vorntest {
namespace {

// ---- finding the file -----------------------------------------------------------

TEST_F(LoaderTest, FileBesideTheProgramIsUsedWhenTheWindowsDirectoryHasNone) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), "[List1]\nHook1=LBUTTONUP\n"));
  ASSERT_EQ(1, loadConfiguration());
  EXPECT_EQ(programDirectoryIni(), std::string(iniPath));
  EXPECT_EQ(60, image().header(HEADER_SLOT_LBUTTONUP));
}

TEST_F(LoaderTest, FileInTheWindowsDirectoryWins) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), "[List1]\nHook1=LBUTTONUP\n"));
  ASSERT_TRUE(writeFileBytes(windowsDirectoryIni(), "[List1]\nHook1=RBUTTONDOWN\n"));
  ASSERT_EQ(1, loadConfiguration());
  EXPECT_EQ(windowsDirectoryIni(), std::string(iniPath));
  EXPECT_EQ(-1, image().header(HEADER_SLOT_LBUTTONUP));
  EXPECT_EQ(60, image().header(HEADER_SLOT_RBUTTONDOWN));
}

// The Windows directory, then %APPDATA%\vorn, then the program's folder:
// each place with a file wins over every later one.
TEST_F(LoaderTest, EachPlaceWinsOverTheLaterOnes) {
  std::string appDataFolder;
  std::string places[] = {windowsDirectoryIni(), appDataIni(&appDataFolder), programDirectoryIni()};
  CreateDirectoryA(appDataFolder.c_str(), NULL);
  const char *slots[] = {"Hook1=LBUTTONUP", "Hook1=RBUTTONDOWN", "Hook1=MBUTTONUP"};
  const int headerSlots[] = {HEADER_SLOT_LBUTTONUP, HEADER_SLOT_RBUTTONDOWN, HEADER_SLOT_MBUTTONUP};
  for (int winner = 0; winner < 3; ++winner) {
    for (int place = 0; place < 3; ++place) DeleteFileA(places[place].c_str());
    for (int place = winner; place < 3; ++place) {
      ASSERT_TRUE(writeFileBytes(places[place], std::string("[List1]\n") + slots[place] + "\n"));
    }
    releaseConfiguration();
    ASSERT_EQ(1, loadConfiguration()) << winner;
    EXPECT_EQ(places[winner], std::string(iniPath));
    for (int place = 0; place < 3; ++place) {
      EXPECT_EQ(place == winner ? 60 : -1, image().header(headerSlots[place])) << winner;
    }
  }
  RemoveDirectoryA(appDataFolder.c_str());
}

TEST_F(LoaderTest, NoFileLeavesOptionsAndImageAlone) {
  xmouseMode = 1;
  useCallWndProcRetHook = 0;
  EXPECT_EQ(0, loadConfiguration());
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_EQ(nullptr, imageBase);
  EXPECT_EQ(1, xmouseMode);
  EXPECT_EQ(0, useCallWndProcRetHook);
  EXPECT_EQ(programDirectoryIni(), std::string(iniPath));  // the last candidate tried
}

TEST_F(LoaderTest, EmptyFileGivesAnEmptyImage) {
  ASSERT_EQ(1, load(""));
  EXPECT_EQ(60u, imageSize);
  EXPECT_EQ(-1, image().header(HEADER_FIRST_LIST));
}

// ---- options -----------------------------------------------------------------------

TEST_F(LoaderTest, OptionsAreStoredAsRead) {
  ASSERT_EQ(1, load("[Options]\nUseWH_CALLWNDPROC=0\nMBUTTONUP.MoveProtect=5\n"
                    "LBUTTONUP.MoveProtect=-2\n"));
  EXPECT_EQ(0, useCallWndProcRetHook);
  EXPECT_EQ(5, mbuttonUpMoveProtect);
  EXPECT_EQ(-2, lbuttonUpMoveProtect);
}

TEST_F(LoaderTest, SimulatedActivationForcesModeOneAndReadsTheMaskOption) {
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=0\nThroughSimulateWM_MOUSEACTIVATE=1\n"
                    "MaskXMOUSEOnMOUSEMOVE=3\n"));
  EXPECT_EQ(1, xmouseMode);
  EXPECT_EQ(1, maskXmouseOnMove);
}

TEST_F(LoaderTest, SimulatedActivationWinsOverSystemTracking) {
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=1\nThroughSimulateWM_MOUSEACTIVATE=1\n"));
  EXPECT_EQ(1, xmouseMode);
}

// Every shell this runs on (and winsim's default) is past 4.71, so
// UseXMOUSE selects the system's own tracking.
TEST_F(LoaderTest, UseXmouseSelectsSystemTrackingOnAModernShell) {
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=1\n"));
  EXPECT_EQ(2, xmouseMode);
  EXPECT_EQ(0, maskXmouseOnMove);
}

TEST_F(LoaderTest, MaskOptionIsIgnoredWithoutXmouse) {
  ASSERT_EQ(1, load("[Options]\nMaskXMOUSEOnMOUSEMOVE=1\n[MaskXMOUSE]\nMatch=Tray\n"));
  EXPECT_EQ(0, xmouseMode);
  EXPECT_EQ(0, maskXmouseOnMove);
  EXPECT_EQ(-1, image().header(HEADER_MASKXMOUSE_MATCH));
  EXPECT_EQ(0, image().matchCount());
}

TEST_F(LoaderTest, CommentedOrEmptyMaskMatchIsNone) {
  ASSERT_EQ(1,
            load("[Options]\nUseXMOUSE=1\nMaskXMOUSEOnMOUSEMOVE=1\n[MaskXMOUSE]\nMatch=;Tray\n"));
  EXPECT_EQ(1, maskXmouseOnMove);
  EXPECT_EQ(-1, image().header(HEADER_MASKXMOUSE_MATCH));
  releaseConfiguration();
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=1\nMaskXMOUSEOnMOUSEMOVE=1\n[MaskXMOUSE]\nMatch=\n"));
  EXPECT_EQ(-1, image().header(HEADER_MASKXMOUSE_MATCH));
}

TEST_F(LoaderTest, ReloadChoosesTheModeAfresh) {
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=1\nMaskXMOUSEOnMOUSEMOVE=1\n"));
  EXPECT_EQ(2, xmouseMode);
  EXPECT_EQ(1, maskXmouseOnMove);
  releaseConfiguration();
  ASSERT_EQ(1, load("[Options]\nUseXMOUSE=0\nMaskXMOUSEOnMOUSEMOVE=1\n"));
  EXPECT_EQ(0, xmouseMode);
  EXPECT_EQ(0, maskXmouseOnMove);
}

TEST_F(LoaderTest, XmouseVersionThresholds) {
  EXPECT_EQ(0, shellVersionHasWindowTracking(4, 0));
  EXPECT_EQ(1, shellVersionHasWindowTracking(4, 71));
  EXPECT_EQ(1, shellVersionHasWindowTracking(4, 1));
  EXPECT_EQ(1, shellVersionHasWindowTracking(5, 0));
  EXPECT_EQ(1, shellVersionHasWindowTracking(6, 1));
  EXPECT_EQ(0, shellVersionHasWindowTracking(3, 51));
}

// ---- the section -------------------------------------------------------------------

TEST_F(LoaderTest, ImageIsPublishedUnderItsName) {
  ASSERT_EQ(1, load("[List1]\nHook1=MBUTTONUP\n"));
  HANDLE opened = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  ASSERT_NE((HANDLE)NULL, opened);
  const unsigned char *view = (const unsigned char *)MapViewOfFile(opened, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE((const unsigned char *)NULL, view);
  EXPECT_EQ(60, readImageInt(view, HEADER_SLOT_MBUTTONUP));
  UnmapViewOfFile(view);
  CloseHandle(opened);
}

TEST_F(LoaderTest, ReleaseLetsGoOfEverythingAndMayBeRepeated) {
  ASSERT_EQ(1, load("[List1]\n"));
  EXPECT_EQ(1, releaseConfiguration());
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_EQ(nullptr, imageBase);
  EXPECT_EQ((HANDLE)NULL, mappingHandle);
  EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME));
  EXPECT_EQ(1, releaseConfiguration());
}

// A reload while other processes still hold the old section gets that
// section back: the new image goes into it when it fits, and readers that
// hold the old view see a complete new image.
TEST_F(LoaderTest, SectionStillHeldElsewhereIsReusedWhenTheImageFits) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n1.Match=a\n" + std::string(2000, ';') + "\n"));
  HANDLE held = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  ASSERT_NE((HANDLE)NULL, held);
  const unsigned char *reader = (const unsigned char *)MapViewOfFile(held, FILE_MAP_READ, 0, 0, 0);
  releaseConfiguration();

  ASSERT_EQ(1, load("[List1]\nHook1=RBUTTONDOWN\n"));
  EXPECT_GT(imageSize, 16000u);  // the old, larger section
  EXPECT_EQ(-1, readImageInt(reader, HEADER_SLOT_LBUTTONUP));
  EXPECT_EQ(60, readImageInt(reader, HEADER_SLOT_RBUTTONDOWN));
  // What lies behind the new image is cleared.
  uint32_t used = 60 + 168 + 8;
  for (uint32_t i = used; i < imageSize; ++i) ASSERT_EQ(0, reader[i]) << "offset " << i;
  UnmapViewOfFile(reader);
  CloseHandle(held);
}

// Other processes may keep their views after the daemon lets go (a system
// that never unloads hook libraries keeps them for good): they must then
// see no configuration, not rules the daemon has dropped.
TEST_F(LoaderTest, ReleasedImageLeavesNoConfigurationToViewsHeldElsewhere) {
  ASSERT_EQ(1, load("[List1]\nHook1=LBUTTONUP\n1.Match=a\n"));
  HANDLE held = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  ASSERT_NE((HANDLE)NULL, held);
  const unsigned char *reader = (const unsigned char *)MapViewOfFile(held, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(nullptr, reader);
  releaseConfiguration();
  for (uint32_t field = 0; field < IMAGE_HEADER_SIZE; field += 4) {
    EXPECT_EQ(-1, readImageInt(reader, field)) << "header field " << field;
  }
  EXPECT_EQ(1, readImageInt(reader, 60 + LIST_COUNT));  // the records are left as they were
  UnmapViewOfFile(reader);
  CloseHandle(held);
}

TEST_F(LoaderTest, SectionStillHeldElsewhereThatIsTooSmallFailsTheLoad) {
  std::string ini = programDirectoryIni();
  ASSERT_EQ(1, load("[List1]\n"));
  HANDLE held = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  ASSERT_NE((HANDLE)NULL, held);
  releaseConfiguration();

  // More than the old section's page.
  std::string file = nineRulesWithDistinctMatches();
  EXPECT_EQ(0, load(file));
  EXPECT_EQ(nullptr, imageHeader);
  char status[64] = "";
  GetPrivateProfileStringA("Status", "Error", "", status, sizeof status, ini.c_str());
  EXPECT_STREQ("fail to FileMapping", status);
  // The user's own lines are all still there (the profile functions may
  // rewrite line ends as CRLF).
  std::string after = readFileBytes(ini);
  after.erase(std::remove(after.begin(), after.end(), '\r'), after.end());
  EXPECT_EQ(0u, after.find(file));
  CloseHandle(held);
}

}  // namespace

// The options the hooks read reach every other process from the daemon's
// section, in the trailer behind the image, where no designed reader looks;
// the image's own bytes are those of the same file compiled anywhere.
TEST_F(LoaderTest, TheHooksOptionsReachAnotherProcessBehindTheImage) {
  const std::string file =
      "[Options]\nThroughSimulateWM_MOUSEACTIVATE=1\nMaskXMOUSEOnMOUSEMOVE=1\n"
      "MBUTTONUP.MoveProtect=0\nLBUTTONUP.MoveProtect=7\n[List1]\nHook1=LBUTTONUP\n";
  ASSERT_EQ(1, load(file));
  std::vector<unsigned char> published(imageHeader, imageHeader + imageSize);
  ASSERT_EQ(imageSizeForFileSize((DWORD)file.size()), published.size());
  HANDLE held = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
  ASSERT_NE((HANDLE)NULL, held);
  // This process now plays one that loads the library afresh: its own
  // option values start at 0.
  releaseConfiguration();
  mbuttonUpMoveProtect = lbuttonUpMoveProtect = xmouseMode = maskXmouseOnMove = 0;
  HANDLE again = OpenFileMappingA(FILE_MAP_WRITE, FALSE, VORN_SECTION_NAME);
  ASSERT_NE((HANDLE)NULL, again);
  unsigned char *writer = (unsigned char *)MapViewOfFile(again, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_NE(nullptr, writer);
  memcpy(writer, published.data(), IMAGE_HEADER_SIZE);  // undo the release's empty header

  mapPublishedImage();
  ASSERT_NE(nullptr, imageHeader);
  EXPECT_EQ(XMOUSE_SIMULATED, xmouseMode);
  EXPECT_EQ(1, maskXmouseOnMove);
  EXPECT_EQ(0, mbuttonUpMoveProtect);
  EXPECT_EQ(7, lbuttonUpMoveProtect);
  // Asked at the first hook call, the section is found to be the daemon's.
  followPublishedImage();
  EXPECT_NE(nullptr, imageHeader);
  // The reader's image ends where the trailer begins; up to the size rule
  // it is the published image, and after it only zeros.
  ASSERT_GE(imageSize, published.size());
  EXPECT_EQ(0, memcmp(published.data(), imageHeader, published.size()));
  for (uint32_t at = (uint32_t)published.size(); at < imageSize; ++at) {
    ASSERT_EQ(0, imageHeader[at]) << at;
  }
  UnmapViewOfFile(writer);
  CloseHandle(again);
  CloseHandle(held);
}

}  // namespace vorntest
