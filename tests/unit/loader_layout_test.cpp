// The compiled image, byte for byte: placement order, offsets, sizes.
#include "unit/loader_fixture.h"

#include <string.h>

namespace vorntest {
namespace {

// The typical configuration: 305 bytes with CRLF line ends.
std::string typicalFile() {
  return crlf({"[Options]", "UseXMOUSE=0", "", "[List1]", "Hook1=NCMBUTTONUP", "Hook2=MBUTTONUP",
               "1.Match=Caption.NotForeground", "1.Action=LowerAndSwitch", "2.Match=Desktop",
               "2.Action=ShowDesktop", "", "[Match.Caption]", "nPattern=1", "1.NCHitTest=CAPTION",
               "", "[Match.Desktop]", "nPattern=2", "1.Invoked.Class=Progman",
               "2.Invoked.Class=Shell_TrayWnd"});
}

// The image that file must give, written field by field from the layout
// of its records, independently of the loader.
std::vector<unsigned char> typicalImage() {
  std::vector<unsigned char> image(2500, 0);
  auto put = [&](uint32_t offset, int32_t value) { memcpy(&image[offset], &value, 4); };
  auto text = [&](uint32_t offset, const char *s) { memcpy(&image[offset], s, strlen(s) + 1); };
  for (uint32_t field = 0; field < 60; field += 4) put(field, -1);
  put(0, 60);    // first list
  put(4, 228);   // first match
  put(40, 60);   // MBUTTONUP
  put(44, 60);   // NCMBUTTONUP
  // ListRecord of List1 at 60.
  put(60 + 0, 2);
  put(60 + 4 + 4 * 1, 228);
  put(60 + 4 + 4 * 2, 842);
  put(60 + 44 + 4 * 1, 2);
  put(60 + 84 + 4 * 0, 1476);
  put(60 + 84 + 4 * 1, 827);
  put(60 + 84 + 4 * 2, 1464);
  put(60 + 164, -1);
  // MatchRecord Caption at 228.
  put(228 + 0, 816);
  put(228 + 4, 1);
  put(228 + 8 + 4, 824);
  put(228 + 152 + 4, 825);
  put(228 + 296 + 4, 826);
  put(228 + 440 + 4, 2);
  put(228 + 584, 842);
  text(816, "Caption");
  text(827, "LowerAndSwitch");
  // MatchRecord Desktop at 842.
  put(842 + 0, 1430);
  put(842 + 4, 2);
  put(842 + 8 + 4, 1438);
  put(842 + 152 + 4, 1446);
  put(842 + 296 + 4, 1447);
  put(842 + 440 + 4, -1);
  put(842 + 8 + 8, 1448);
  put(842 + 152 + 8, 1462);
  put(842 + 296 + 8, 1463);
  put(842 + 440 + 8, -1);
  put(842 + 584, -1);
  text(1430, "Desktop");
  text(1438, "Progman");
  text(1448, "Shell_TrayWnd");
  text(1464, "ShowDesktop");
  text(1476, "Default");
  return image;
}

TEST_F(LoaderTest, TypicalFileCompilesToTheDocumentedImage) {
  std::string file = typicalFile();
  ASSERT_EQ(305u, file.size());
  ASSERT_EQ(1, load(file));
  std::vector<unsigned char> expected = typicalImage();
  ASSERT_EQ(2500u, imageSize);
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(expected[i], imageHeader[i]) << "first difference at image offset " << i;
  }
}

TEST_F(LoaderTest, TypicalFileSetsTheOptionDefaults) {
  useCallWndProcRetHook = mbuttonUpMoveProtect = lbuttonUpMoveProtect = 7;
  xmouseMode = maskXmouseOnMove = 7;
  ASSERT_EQ(1, load(typicalFile()));
  EXPECT_EQ(1, useCallWndProcRetHook);
  EXPECT_EQ(1, mbuttonUpMoveProtect);
  EXPECT_EQ(1, lbuttonUpMoveProtect);
  EXPECT_EQ(0, xmouseMode);
  EXPECT_EQ(0, maskXmouseOnMove);
}

TEST_F(LoaderTest, UnalignedRecordsReadBackCorrectly) {
  ASSERT_EQ(1, load(typicalFile()));
  ImageReader img = image();
  int32_t desktop = img.ruleMatch(img.list(0), 2);
  ASSERT_EQ(842, desktop);  // not a multiple of 4
  EXPECT_EQ("Desktop", img.matchName(desktop));
  EXPECT_EQ("Shell_TrayWnd", img.invokedClass(desktop, 2));
  EXPECT_EQ(-1, img.hitTest(desktop, 2));
}

TEST_F(LoaderTest, FileWithoutListsHoldsOnlyTheHeader) {
  std::string file = crlf({"[Options]", "UseWH_CALLWNDPROC=0"});
  ASSERT_EQ(1, load(file));
  ImageReader img = image();
  for (uint32_t field = 0; field < IMAGE_HEADER_SIZE; field += 4) {
    EXPECT_EQ(-1, img.field(field)) << "header field at " << field;
  }
  EXPECT_EQ(8 * file.size() + 60, imageSize);
  for (uint32_t i = IMAGE_HEADER_SIZE; i < imageSize; ++i) ASSERT_EQ(0, imageHeader[i]);
}

TEST_F(LoaderTest, MaskMatchAloneIsTheFirstRecordOfTheArena) {
  ASSERT_EQ(1, load(crlf({"[Options]", "ThroughSimulateWM_MOUSEACTIVATE=1",
                          "MaskXMOUSEOnMOUSEMOVE=1", "[MaskXMOUSE]", "Match=Tray"})));
  ImageReader img = image();
  EXPECT_EQ(60, img.header(HEADER_FIRST_MATCH));
  EXPECT_EQ(60, img.header(HEADER_MASKXMOUSE_MATCH));
  EXPECT_EQ(-1, img.header(HEADER_FIRST_LIST));
  EXPECT_EQ("Tray", img.matchName(60));
}

// A short file naming many matches needs more room than eight times its
// size: the section grows to fit instead of being written past its end.
TEST_F(LoaderTest, SectionGrowsWhenTheSizeRuleIsTooSmall) {
  std::string file = nineRulesWithDistinctMatches();
  ASSERT_LT(imageSizeForFileSize((DWORD)file.size()), 60u + 168u + 9u * 588u);
  ASSERT_EQ(1, load(file));
  ImageReader img = image();
  int32_t list = img.list(0);
  ASSERT_EQ(9, img.ruleCount(list));
  EXPECT_EQ("m9", img.ruleMatchName(list, 9));
  EXPECT_EQ("Default", img.ruleAction(list, 9));
  EXPECT_EQ("Default", img.ruleAction(list, 0));
  // Exactly what the records and strings need: nothing cut, nothing spare.
  uint32_t strings = 9 * 3 /* "mN" */ + 9 * 8 /* "Default" */ + 8;
  EXPECT_EQ(60u + 168u + 9u * 588u + strings, imageSize);
}

TEST_F(LoaderTest, SizeRuleIsEightTimesTheFileAndTheHeader) {
  EXPECT_EQ(2500u, imageSizeForFileSize(305));
  EXPECT_EQ(60u, imageSizeForFileSize(0));
  // Beyond what an ImageOffset can address the rule is held back.
  EXPECT_EQ(0x7FFFFFFFu, imageSizeForFileSize(0xFFFFFFFFu));
}

}  // namespace
}  // namespace vorntest
