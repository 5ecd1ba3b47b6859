// The check every process makes before it follows an image's offsets.
#include "unit/loader_fixture.h"

#include <string.h>

#include "config/image_access.h"
#include "config/image_validation.h"
#include "config/loader.h"
#include "config/loader_state.h"
#include "lifecycle.h"

namespace vorntest {
namespace {

const char *const sampleFile =
    "[Options]\nThroughSimulateWM_MOUSEACTIVATE=1\nMaskXMOUSEOnMOUSEMOVE=1\n"
    "[MaskXMOUSE]\nMatch=Mask\n"
    "[List1]\nHook1=NCMBUTTONUP\n1.Match=Caption.NotForeground\n1.Action=LowerAndSwitch\n"
    "2.Match=;off\n"
    "[List2]\nHook1=LBUTTONDBLCLK\n1.Match=Caption\n1.Action=ToggleMaximize\n"
    "[Match.Caption]\nnPattern=2\n1.NCHitTest=CAPTION\n2.Invoked.Class=Edit\n"
    "[Match.Mask]\nnPattern=1\n1.Active.Class=Shell_TrayWnd\n";

// A loaded image, copied out so that it can be damaged at will.
class ImageValidationTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    ASSERT_EQ(1, load(sampleFile));
    bytes.assign(imageHeader, imageHeader + imageSize);
    reader = ImageReader{bytes.data(), (uint32_t)bytes.size()};
    firstList = reader.list(0);
    caption = reader.ruleMatch(firstList, 1);
  }

  int valid() const { return validateImage(bytes.data(), (uint32_t)bytes.size()); }
  void put(uint32_t offset, int32_t value) { memcpy(&bytes[offset], &value, 4); }

  std::vector<unsigned char> bytes;
  ImageReader reader{};
  int32_t firstList = -1;
  int32_t caption = -1;
};

TEST_F(ImageValidationTest, LoadersOwnImagePasses) { EXPECT_EQ(1, valid()); }

TEST_F(ImageValidationTest, ImageSmallerThanItsHeaderFails) {
  EXPECT_EQ(0, validateImage(bytes.data(), IMAGE_HEADER_SIZE - 1));
  EXPECT_EQ(0, validateImage(NULL, 4096));
}

TEST_F(ImageValidationTest, HeaderOffsetsOutsideTheImageFail) {
  put(HEADER_SLOT_NCMBUTTONUP, (int32_t)bytes.size());
  EXPECT_EQ(0, valid());
}

TEST_F(ImageValidationTest, RecordThatRunsPastTheEndFails) {
  put(HEADER_SLOT_LBUTTONUP, (int32_t)bytes.size() - LIST_RECORD_SIZE + 1);
  EXPECT_EQ(0, valid());
}

TEST_F(ImageValidationTest, RecordInsideTheHeaderFails) {
  put(HEADER_MASKXMOUSE_MATCH, 4);
  EXPECT_EQ(0, valid());
}

TEST_F(ImageValidationTest, RuleCountOutOfRangeFails) {
  put(firstList + LIST_COUNT, 10);
  EXPECT_EQ(0, valid());
  put(firstList + LIST_COUNT, -1);
  EXPECT_EQ(0, valid());
}

// The hooks test bits of a list's claimed events: bits no event has are
// damage.
TEST_F(ImageValidationTest, ClaimedEventsBeyondTheKnownOnesFail) {
  put(firstList + LIST_CLAIMED_EVENTS, CLAIMED_EVENTS_ALL);
  EXPECT_EQ(1, valid());
  put(firstList + LIST_CLAIMED_EVENTS, 1 << CLAIMED_EVENT_COUNT);
  EXPECT_EQ(0, valid());
  put(firstList + LIST_CLAIMED_EVENTS, -1);
  EXPECT_EQ(0, valid());
}

TEST_F(ImageValidationTest, ActionThatIsNoStringFails) {
  put(listEntryField(firstList + LIST_ACTION, 0), NO_OFFSET);
  EXPECT_EQ(0, valid());
}

TEST_F(ImageValidationTest, StringWithoutItsNulInsideTheImageFails) {
  // Point an action at the image's last byte and make that byte non-NUL.
  put(listEntryField(firstList + LIST_ACTION, 1), (int32_t)bytes.size() - 1);
  bytes.back() = 'x';
  EXPECT_EQ(0, valid());
  bytes.back() = '\0';
  EXPECT_EQ(1, valid());
}

TEST_F(ImageValidationTest, PatternCountOutOfRangeFails) {
  put(caption + MATCH_PATTERN_COUNT, 36);
  EXPECT_EQ(0, valid());
  put(caption + MATCH_PATTERN_COUNT, -1);
  EXPECT_EQ(0, valid());
}

TEST_F(ImageValidationTest, ClassNameOutsideTheImageFails) {
  put(matchPatternField(caption + MATCH_PARENT_CLASS, 2), 1 << 30);
  EXPECT_EQ(0, valid());
}

// Fields of Patterns above the count are never read, so they may hold
// anything.
TEST_F(ImageValidationTest, FieldsBeyondTheCountsAreNotJudged) {
  put(matchPatternField(caption + MATCH_INVOKED_CLASS, 3), -77);
  put(listEntryField(firstList + LIST_ACTION, 5), -77);
  EXPECT_EQ(1, valid());
}

TEST_F(ImageValidationTest, RuleWithoutAMatchConditionPasses) {
  put(listEntryField(firstList + LIST_MATCH, 1), NO_OFFSET);
  EXPECT_EQ(1, valid());
}

TEST_F(ImageValidationTest, LoopInTheListChainFails) {
  put(firstList + LIST_NEXT, firstList);
  EXPECT_EQ(0, valid());
}

TEST_F(ImageValidationTest, LoopInTheMatchChainFails) {
  int32_t first = reader.field(HEADER_FIRST_MATCH);
  put(first + MATCH_NEXT, first);
  EXPECT_EQ(0, valid());
}

// ---- the cost of a string -----------------------------------------------------

// One list on every event slot, nine rules that all name one match of 35
// Patterns, and every class name and action the same string of `length`
// characters at the end of a 64 KiB image: about 12,000 references to it.
// Judging each reference by a scan to the view's end made this image cost
// seconds under the loader lock of every program that attached.
std::vector<unsigned char> imageWithOneSharedString(uint32_t length) {
  const uint32_t size = 65536, list = IMAGE_HEADER_SIZE, match = list + LIST_RECORD_SIZE;
  const uint32_t text = size - length - 1;
  std::vector<unsigned char> image(size, 0);
  for (uint32_t slot = 0; slot < IMAGE_HEADER_SIZE; slot += 4)
    writeImageInt(image.data(), slot, NO_OFFSET);
  writeImageInt(image.data(), HEADER_FIRST_LIST, list);
  for (uint32_t slot = HEADER_SLOT_LBUTTONDOWN; slot <= HEADER_SLOT_NCRBUTTONDOWN; slot += 4) {
    writeImageInt(image.data(), slot, list);
  }
  writeImageInt(image.data(), list + LIST_COUNT, LIST_MAX_RULES);
  writeImageInt(image.data(), list + LIST_NEXT, NO_OFFSET);
  for (int entry = 0; entry <= LIST_MAX_RULES; ++entry) {
    writeImageInt(image.data(), listEntryField(list + LIST_ACTION, entry), (int32_t)text);
    if (entry > 0) writeImageInt(image.data(), listEntryField(list + LIST_MATCH, entry), match);
  }
  writeImageInt(image.data(), match + MATCH_NAME, (int32_t)text);
  writeImageInt(image.data(), match + MATCH_PATTERN_COUNT, MATCH_MAX_PATTERNS);
  for (int p = 1; p <= MATCH_MAX_PATTERNS; ++p) {
    for (uint32_t array : MATCH_CLASS_ARRAYS) {
      writeImageInt(image.data(), match + matchPatternField(array, p), (int32_t)text);
    }
    writeImageInt(image.data(), match + matchPatternField(MATCH_HIT_TEST, p), NO_OFFSET);
  }
  writeImageInt(image.data(), match + MATCH_NEXT, NO_OFFSET);
  memset(&image[text], 'W', length);
  return image;
}

// The loader never writes more than 255 characters: a longer string is
// damage, found within the first 256 bytes of it, by the check and by the
// hooks' reads alike.
TEST(ImageStringBound, NoStringIsReadBeyondTheLongestTheLoaderWrites) {
  struct Case {
    uint32_t length;
    int accepted;
  } cases[] = {{0, 1}, {IMAGE_MAX_STRING, 1}, {IMAGE_MAX_STRING + 1, 0}, {60000, 0}};
  for (const Case &c : cases) {
    std::vector<unsigned char> image = imageWithOneSharedString(c.length);
    EXPECT_EQ(c.accepted, validateImage(image.data(), (uint32_t)image.size())) << c.length;

    const unsigned char *savedHeader = imageHeader;
    uint32_t savedSize = imageSize;
    imageHeader = image.data();
    imageSize = (uint32_t)image.size();
    ImageOffset text = (ImageOffset)(image.size() - c.length - 1);
    char copy[IMAGE_STRING_SPAN];
    memset(copy, 'x', sizeof copy);
    EXPECT_EQ(c.accepted, copyImageString(text, copy)) << c.length;
    EXPECT_EQ(c.accepted ? c.length : 0u, strlen(copy)) << c.length;
    EXPECT_EQ(c.accepted != 0, imageString(text) != NULL) << c.length;
    imageHeader = savedHeader;
    imageSize = savedSize;
  }
}

// ---- at attach ------------------------------------------------------------------

// A process that finds a section of that name holding garbage treats it
// as no configuration at all.
TEST_F(ImageValidationTest, AttachRefusesAForeignSection) {
  releaseConfiguration();
  HANDLE foreign =
      CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, VORN_SECTION_NAME);
  ASSERT_NE((HANDLE)NULL, foreign);
  unsigned char *view = (unsigned char *)MapViewOfFile(foreign, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_NE((unsigned char *)NULL, view);
  memset(view, 0x41, 4096);

  EXPECT_EQ(TRUE, DllEntryPoint(NULL, DLL_PROCESS_ATTACH, NULL));
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_EQ(nullptr, imageBase);
  EXPECT_EQ((HANDLE)NULL, mappingHandle);

  // The same section with a sound image is taken.
  ASSERT_LE(bytes.size(), 4096u);
  memcpy(view, bytes.data(), bytes.size());
  EXPECT_EQ(TRUE, DllEntryPoint(NULL, DLL_PROCESS_ATTACH, NULL));
  EXPECT_NE(nullptr, imageHeader);
  EXPECT_EQ(TRUE, DllEntryPoint(NULL, DLL_PROCESS_DETACH, NULL));
  EXPECT_EQ(nullptr, imageHeader);
  UnmapViewOfFile(view);
  CloseHandle(foreign);
}

TEST_F(ImageValidationTest, AttachWithoutASectionLoadsAllTheSame) {
  releaseConfiguration();
  EXPECT_EQ(TRUE, DllEntryPoint(NULL, DLL_PROCESS_ATTACH, NULL));
  EXPECT_EQ(nullptr, imageHeader);
  EXPECT_EQ(TRUE, DllEntryPoint(NULL, DLL_PROCESS_DETACH, NULL));
}

// The record a match's keys, program and title live in must lie whole in
// the image; 0 and -1 name none.
TEST_F(ImageValidationTest, ExtrasRecordOutsideTheImageFails) {
  put(caption + MATCH_EXTRAS, -1);
  EXPECT_EQ(1, valid());
  put(caption + MATCH_EXTRAS, (int32_t)bytes.size() - 2 * EXTRAS_PATTERN_SIZE + 1);
  EXPECT_EQ(0, valid());  // Caption has two Patterns
  put(caption + MATCH_EXTRAS, 4);
  EXPECT_EQ(0, valid());
  put(caption + MATCH_EXTRAS, (int32_t)bytes.size() - 2 * EXTRAS_PATTERN_SIZE);
  EXPECT_EQ(1, valid());
}

}  // namespace
}  // namespace vorntest
