// The profile (INI) functions as the loader relies on them, checked against
// the platform itself: the same expectations hold for winsim on the host
// and for Windows' own functions under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

#include "winsim_scratch.h"

namespace {

using vorntest::ScratchFolder;

class ProfileTest : public ::testing::Test {
 protected:
  // Writes `text` as the INI file under test.
  void useFile(const std::string &text) {
    ASSERT_TRUE(scratch.write("test.ini", text));
    ini = scratch.path("test.ini");
  }

  std::string get(const char *section, const char *key, const char *fallback = "dflt",
                  DWORD size = 256) {
    std::string buffer(size + 8, '#');
    result = GetPrivateProfileStringA(section, key, fallback, &buffer[0], size, ini.c_str());
    return buffer.substr(0, strlen(buffer.c_str()));
  }

  // The raw buffer after a call, `size` bytes and one guard byte.
  std::string rawGet(const char *section, const char *key, DWORD size) {
    std::string buffer(size + 1, '#');
    result = GetPrivateProfileStringA(section, key, "dflt", &buffer[0], size, ini.c_str());
    return buffer;
  }

  std::string rawSectionNames(DWORD size) {
    std::string buffer(size + 1, '#');
    result = GetPrivateProfileSectionNamesA(&buffer[0], size, ini.c_str());
    return buffer;
  }

  int getInt(const char *key, int fallback = 77) {
    return (int)GetPrivateProfileIntA("S", key, fallback, ini.c_str());
  }

  bool write(const char *section, const char *key, const char *value) {
    return WritePrivateProfileStringA(section, key, value, ini.c_str()) != FALSE;
  }

  std::string fileText() { return scratch.read("test.ini"); }

  ScratchFolder scratch;
  std::string ini;
  DWORD result = 0;
};

// ---- looking values up ------------------------------------------------------------

TEST_F(ProfileTest, SectionAndKeyNamesIgnoreCaseAndSurroundingBlanks) {
  useFile("[Options]\r\n  Some Key \t=  value  \r\n");
  EXPECT_EQ("value", get("options", "SOME KEY"));
  EXPECT_EQ(5u, result);
  EXPECT_EQ("value", get("  Options ", "\tsome key "));
}

TEST_F(ProfileTest, ValuesLoseOnePairOfMatchingQuotes) {
  useFile(
      "[S]\r\nsingle='x'\r\ndouble=\"two words\"\r\nlone=\"\r\nempty=''\r\n"
      "inner=' y '\r\nopen=\"abc\r\ntrailer=\"abc\"def\r\nmixed=\"abc'\r\n"
      "twice=\"\"q\"\"\r\nembedded=\"a\"b\"\r\n");
  EXPECT_EQ("x", get("S", "single"));
  EXPECT_EQ("two words", get("S", "double"));
  EXPECT_EQ("\"", get("S", "lone"));
  EXPECT_EQ("", get("S", "empty"));
  EXPECT_EQ(0u, result);
  EXPECT_EQ(" y ", get("S", "inner"));
  EXPECT_EQ("\"abc", get("S", "open"));
  EXPECT_EQ("\"abc\"def", get("S", "trailer"));
  EXPECT_EQ("\"abc'", get("S", "mixed"));
  EXPECT_EQ("\"q\"", get("S", "twice"));
  EXPECT_EQ("a\"b", get("S", "embedded"));
}

TEST_F(ProfileTest, CommentCharactersHaveNoSpecialMeaning) {
  useFile("[S]\r\nvalue=abc ; not a comment\r\n;semi=1\r\n#hash=2\r\n");
  EXPECT_EQ("abc ; not a comment", get("S", "value"));
  EXPECT_EQ("1", get("S", ";semi"));
  EXPECT_EQ("2", get("S", "#hash"));
}

TEST_F(ProfileTest, FirstDuplicateWinsAndOnlyTheFirstSectionOfANameIsSearched) {
  useFile("[A]\r\nk=1\r\nk=2\r\n[B]\r\n[a]\r\nk=3\r\nonlyhere=4\r\n");
  EXPECT_EQ("1", get("A", "k"));
  EXPECT_EQ("dflt", get("a", "onlyhere"));
}

TEST_F(ProfileTest, AnEmptyValueIsFoundButALineWithoutEqualsIsNoKey) {
  useFile("[S]\r\nempty=\r\nblank=   \r\nbare\r\n=nameless\r\n");
  EXPECT_EQ("", get("S", "empty"));
  EXPECT_EQ(0u, result);
  EXPECT_EQ("", get("S", "blank"));
  EXPECT_EQ("dflt", get("S", "bare"));
  EXPECT_EQ(4u, result);
  EXPECT_EQ("nameless", get("S", ""));
}

TEST_F(ProfileTest, TheDefaultLosesTrailingSpacesAndQuotes) {
  useFile("[S]\r\n");
  EXPECT_EQ("  padded", get("S", "missing", "  padded  "));
  EXPECT_EQ(8u, result);
  EXPECT_EQ("  tab\t", get("S", "missing", "  tab\t "));  // spaces only, not tabs
  EXPECT_EQ(" ", get("S", "missing", "   "));             // never the first character
  EXPECT_EQ("quoted", get("S", "missing", "\"quoted\"  "));
  EXPECT_EQ("", get("S", "missing", NULL));
  EXPECT_EQ(0u, result);
  EXPECT_EQ("long", get("S", "missing", "longdefault", 5));
  EXPECT_EQ(4u, result);
}

TEST_F(ProfileTest, LinesMayEndInCrLfLfOrCr) {
  useFile("[Lf]\nk=lf\n[Cr]\rk=cr\r[CrLf]\r\nk=crlf");
  EXPECT_EQ("lf", get("Lf", "k"));
  EXPECT_EQ("cr", get("Cr", "k"));
  EXPECT_EQ("crlf", get("CrLf", "k"));
}

TEST_F(ProfileTest, SectionHeadersRunToTheLastClosingBracket) {
  useFile(
      "[First]\r\n[Unclosed\r\nq=1\r\n[Tail]trailing text\r\nt=2\r\n"
      "[ inner ] bracket ]\r\nb=3\r\n   [Indented]\r\ni=4\r\n");
  EXPECT_EQ("1", get("First", "q"));  // "[Unclosed" is just a line of [First]
  EXPECT_EQ("dflt", get("Unclosed", "q"));
  EXPECT_EQ("2", get("Tail", "t"));
  EXPECT_EQ("3", get("inner ] bracket", "b"));
  EXPECT_EQ("4", get("Indented", "i"));
}

// The lines before the first header are a section named "", which also
// hides any later "[]" section; neither is listed among the sections.
TEST_F(ProfileTest, KeysBeforeTheFirstHeaderFormTheNamelessSection) {
  useFile("early=0\r\n[]\r\nnameless=1\r\n[S]\r\nk=2\r\n");
  EXPECT_EQ("0", get("", "early"));
  EXPECT_EQ("0", get("  ", "early"));
  EXPECT_EQ("dflt", get("", "nameless"));
  EXPECT_EQ(std::string("early\0\0", 7), rawGet("", NULL, 20).substr(0, 7));
  EXPECT_EQ(std::string("S\0\0", 3), rawSectionNames(20).substr(0, 3));
  useFile("[]\r\nnameless=1\r\n");
  EXPECT_EQ("dflt", get("", "nameless"));
}

TEST_F(ProfileTest, NamesAndValuesAreTrimmedOfAllBlanks) {
  useFile("\t[\tT\t]\r\n\tk\f=\v tabbed \t\r\n");
  EXPECT_EQ("tabbed", get("T", "k"));
}

// Ctrl-Z (the old end-of-file mark) is trimmed like a blank wherever
// blanks are, before a value loses its quotes; inside a value it stays.
TEST_F(ProfileTest, CtrlZIsTrimmedLikeABlank) {
  useFile(
      "[S]\r\n\x1akey\x1a=\x1avalue\x1a\r\nk2 \x1a = \x1a v2 \x1a \r\nonly=\x1a\r\n"
      "inner=y\x1az\r\nq=\x1a\"quoted\"\x1a\r\n\x1a[\x1aZ\x1a]\x1a\r\nz=1\r\n\x1a\r\nafter=2\r\n");
  EXPECT_EQ("value", get("S", "key"));
  EXPECT_EQ("v2", get("S", "k2"));
  EXPECT_EQ("", get("S", "only"));
  EXPECT_EQ(0u, result);
  EXPECT_EQ("y\x1az", get("S", "inner"));
  EXPECT_EQ("quoted", get("S", "q"));
  EXPECT_EQ("1", get("Z", "z"));
  EXPECT_EQ("2", get("Z", "after"));
  EXPECT_EQ(std::string("key\0k2\0only\0inner\0q\0\0", 21), rawGet("S", NULL, 40).substr(0, 21));
  EXPECT_EQ(std::string("S\0Z\0\0", 5), rawSectionNames(40).substr(0, 5));
}

// A line that names a key without '=' is that key with no value: the
// default answers, and a later line of the same name (in any letter case,
// with any blanks) is never reached. Such lines are not listed.
TEST_F(ProfileTest, ALineWithoutEqualsHidesALaterValueOfItsName) {
  useFile(
      "[S]\r\nbare\r\nbare=5\r\nother=1\r\n  spaced key \x1a\r\nSpaced Key=6\r\n"
      "[T]\r\nt=1\r\nt\r\n[U]\r\n;c\r\n;c=4\r\n");
  EXPECT_EQ("dflt", get("S", "bare"));
  EXPECT_EQ(4u, result);
  EXPECT_EQ(77, getInt("bare"));
  EXPECT_EQ("1", get("S", "other"));
  EXPECT_EQ("dflt", get("S", "spaced key"));
  EXPECT_EQ("1", get("T", "t"));
  EXPECT_EQ("dflt", get("U", ";c"));
  EXPECT_EQ(std::string("bare\0other\0Spaced Key\0\0", 23), rawGet("S", NULL, 40).substr(0, 23));
  EXPECT_EQ(22u, result);
}

TEST_F(ProfileTest, ANulByteEndsTheTextOfItsLine) {
  const char text[] = "[S]\r\na=1\0b=2\r\nc=3\r\n[T]\r\nd=4\r\n";
  useFile(std::string(text, sizeof text - 1));
  EXPECT_EQ("1", get("S", "a"));
  EXPECT_EQ("dflt", get("S", "b"));
  EXPECT_EQ("3", get("S", "c"));
  EXPECT_EQ("4", get("T", "d"));
}

// Notepad's "UTF-16 LE" (with its byte order mark) is read as Unicode, and
// a write keeps it so. (A UTF-8 mark is Windows' and Wine's difference:
// host/profile_encoding_test.cpp.)
TEST_F(ProfileTest, AUtf16FileIsReadAndWrittenAsUnicode) {
  auto utf16 = [](const std::string &text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) bytes += std::string(1, c) + '\0';
    return bytes;
  };
  useFile(utf16("[S]\r\na=1\r\nb=x y\r\n"));
  EXPECT_EQ("1", get("S", "a"));
  EXPECT_EQ("x y", get("S", "b"));
  EXPECT_TRUE(write("S", "a", "2"));
  EXPECT_EQ(utf16("[S]\r\na=2\r\nb=x y\r\n"), fileText());
}

TEST_F(ProfileTest, AMissingFileGivesTheDefaultAndSaysWhy) {
  ini = scratch.path("missing.ini");
  SetLastError(0);
  EXPECT_EQ("dflt", get("S", "k"));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_EQ(5, (int)GetPrivateProfileIntA("S", "k", 5, ini.c_str()));
}

// ---- buffers that are too small ---------------------------------------------------

TEST_F(ProfileTest, ALongValueIsCutToTheBuffer) {
  std::string value(255, 'v');
  useFile("[S]\r\nk=" + value + "\r\n");
  EXPECT_EQ(value, get("S", "k", "", 256));
  EXPECT_EQ(255u, result);
  EXPECT_EQ(value.substr(0, 254), get("S", "k", "", 255));
  EXPECT_EQ(254u, result);
  EXPECT_EQ("", get("S", "k", "", 1));
  EXPECT_EQ(0u, result);
}

// The closing quote is dropped after the cut, so a quoted value that only
// just fits loses one more character.
TEST_F(ProfileTest, AQuotedValueIsCutBeforeItsQuotesAreDropped) {
  useFile("[S]\r\nq=\"" + std::string(10, 'q') + "\"\r\n");
  EXPECT_EQ(std::string(10, 'q'), get("S", "q", "", 13));
  EXPECT_EQ(std::string(10, 'q'), get("S", "q", "", 12));
  EXPECT_EQ(10u, result);
  EXPECT_EQ(std::string(9, 'q'), get("S", "q", "", 11));
  EXPECT_EQ(9u, result);
  EXPECT_EQ(std::string(9, 'q'), get("S", "q", "", 10));
  EXPECT_EQ(std::string(8, 'q'), get("S", "q", "", 9));
}

TEST_F(ProfileTest, ABufferOfSizeZeroIsLeftAlone) {
  useFile("[S]\r\nk=v\r\n");
  std::string raw = rawGet("S", "k", 0);
  EXPECT_EQ(0u, result);
  EXPECT_EQ('#', raw[0]);
}

// ---- listing keys and sections ------------------------------------------------------

TEST_F(ProfileTest, ANullKeyListsTheKeysOfTheSection) {
  useFile("[S]\r\nk1=1\r\nk2=22\r\n;hidden=4\r\nnoequals\r\nk3=333\r\n[T]\r\nt=1\r\n");
  EXPECT_EQ(std::string("k1\0k2\0k3\0\0", 10), rawGet("S", NULL, 40).substr(0, 10));
  EXPECT_EQ(9u, result);
}

TEST_F(ProfileTest, AKeyListThatDoesNotFitIsCutAtSizeMinusTwo) {
  useFile("[S]\r\nk1=1\r\nk2=22\r\nk3=333\r\n");
  EXPECT_EQ(std::string("k1\0k2\0k3\0\0", 10), rawGet("S", NULL, 11).substr(0, 10));
  EXPECT_EQ(9u, result);
  EXPECT_EQ(std::string("k1\0k2\0k3\0", 9), rawGet("S", NULL, 10).substr(0, 9));
  EXPECT_EQ(8u, result);
  EXPECT_EQ(std::string("k1\0k2\0k\0", 8), rawGet("S", NULL, 9).substr(0, 8));
  EXPECT_EQ(7u, result);
}

TEST_F(ProfileTest, AnEmptyKeyListGivesTheDefault) {
  useFile("[S]\r\nk1=1\r\n[Empty]\r\n");
  EXPECT_EQ("dflt", get("Empty", NULL));
  EXPECT_EQ("dflt", get("Missing", NULL));
  EXPECT_EQ("d", get("S", NULL, "dflt", 2));  // the list cut to nothing
}

TEST_F(ProfileTest, ANullSectionListsTheSections) {
  useFile("[One]\r\na=1\r\n[Two]\r\n");
  EXPECT_EQ(std::string("One\0Two\0\0", 9), rawGet(NULL, NULL, 40).substr(0, 9));
  EXPECT_EQ(8u, result);
}

TEST_F(ProfileTest, SectionNamesAreListedInFileOrderWithDuplicates) {
  useFile("[Sec]\r\n[X]\r\n[]\r\n[ a ] b ]\r\n[sec]\r\n");
  EXPECT_EQ(std::string("Sec\0X\0a ] b\0sec\0\0", 17), rawSectionNames(40).substr(0, 17));
  EXPECT_EQ(16u, result);
}

TEST_F(ProfileTest, SectionNamesThatDoNotFitAreCutAtSizeMinusTwo) {
  useFile("[Sec]\r\n[X]\r\n[abc]\r\n");  // the list takes 11 bytes
  EXPECT_EQ(std::string("Sec\0X\0abc\0\0", 11), rawSectionNames(12).substr(0, 11));
  EXPECT_EQ(10u, result);
  EXPECT_EQ(std::string("Sec\0X\0abc\0", 10), rawSectionNames(11).substr(0, 10));
  EXPECT_EQ(9u, result);
  EXPECT_EQ(std::string("Sec\0X\0ab\0", 9), rawSectionNames(10).substr(0, 9));
  EXPECT_EQ(8u, result);
  EXPECT_EQ(std::string("Se\0", 3), rawSectionNames(4).substr(0, 3));
  EXPECT_EQ(2u, result);
}

TEST_F(ProfileTest, TinyBuffersAndMissingFilesGiveAnEmptySectionList) {
  useFile("[Sec]\r\n");
  EXPECT_EQ('\0', rawSectionNames(1)[0]);
  EXPECT_EQ(0u, result);
  EXPECT_EQ('\0', rawSectionNames(2)[0]);
  EXPECT_EQ(0u, result);
  ini = scratch.path("missing.ini");
  EXPECT_EQ('\0', rawSectionNames(10)[0]);
  EXPECT_EQ(0u, result);
}

// ---- integers ---------------------------------------------------------------------------

TEST_F(ProfileTest, IntegersAreReadUpToTheFirstOtherCharacter) {
  useFile(
      "[S]\r\nsuffix=12abc\r\nnegative=-5\r\nspaced= 7\r\nhex=0x10\r\nplus=+3\r\n"
      "padded=  -0012 \r\nword=abc\r\nupperhex=0X1f\r\nneghex=-0x10\r\nbadhex=0x1g\r\n"
      "twosigns=--5\r\noctal=010\r\nquoted='5'\r\nsplit=12 34\r\n");
  EXPECT_EQ(12, getInt("suffix"));
  EXPECT_EQ(-5, getInt("negative"));
  EXPECT_EQ(7, getInt("spaced"));
  EXPECT_EQ(16, getInt("hex"));
  EXPECT_EQ(3, getInt("plus"));
  EXPECT_EQ(-12, getInt("padded"));
  EXPECT_EQ(0, getInt("word"));
  EXPECT_EQ(0, getInt("upperhex"));  // only a lower-case x makes hex
  EXPECT_EQ(-16, getInt("neghex"));
  EXPECT_EQ(1, getInt("badhex"));
  EXPECT_EQ(0, getInt("twosigns"));
  EXPECT_EQ(10, getInt("octal"));
  EXPECT_EQ(5, getInt("quoted"));
  EXPECT_EQ(12, getInt("split"));
}

TEST_F(ProfileTest, IntegersWrapAroundInThirtyTwoBits) {
  useFile(
      "[S]\r\nbig=4294967297\r\nlarger=99999999999\r\nhexall=0xffffffff\r\n"
      "below=-2147483649\r\nlong=123456789012345678901234567890\r\n");
  EXPECT_EQ(1, getInt("big"));
  EXPECT_EQ(1215752191, getInt("larger"));
  EXPECT_EQ(-1, getInt("hexall"));
  EXPECT_EQ(2147483647, getInt("below"));
  // Only the first 29 characters of a value are read as a number.
  EXPECT_EQ(1849262357, getInt("long"));
}

// After the sign, "0b" and "0o" choose binary and octal as "0x" chooses
// hexadecimal; only lower-case prefixes count, and a digit too large for
// the base ends the number.
TEST_F(ProfileTest, BinaryAndOctalPrefixesFollowTheSignLikeHex) {
  useFile(
      "[S]\r\nbin=0b101\r\noct=0o17\r\nnegbin=-0b11\r\nplusbin=+0b11\r\nbare=0b\r\n"
      "badoct=0o9\r\nupperbin=0B11\r\nupperoct=0O17\r\nbintwo=0b102\r\nocteight=0o78\r\n"
      "binletter=0b1a\r\nbarehex=0x\r\nquotedbin=\"0b11\"\r\nhexwrap=0xFFFFFFFFF\r\n");
  EXPECT_EQ(5, getInt("bin"));
  EXPECT_EQ(15, getInt("oct"));
  EXPECT_EQ(-3, getInt("negbin"));
  EXPECT_EQ(3, getInt("plusbin"));
  EXPECT_EQ(0, getInt("bare"));
  EXPECT_EQ(0, getInt("badoct"));
  EXPECT_EQ(0, getInt("upperbin"));
  EXPECT_EQ(0, getInt("upperoct"));
  EXPECT_EQ(2, getInt("bintwo"));
  EXPECT_EQ(7, getInt("octeight"));
  EXPECT_EQ(1, getInt("binletter"));
  EXPECT_EQ(0, getInt("barehex"));
  EXPECT_EQ(3, getInt("quotedbin"));
  EXPECT_EQ(-1, getInt("hexwrap"));
}

// The number is read from the first 29 characters of the value, and
// control characters before it (which the value keeps) are passed over.
TEST_F(ProfileTest, ANumberIsReadFromItsFirstTwentyNineCharacters) {
  useFile("[S]\r\nfits=" + std::string(28, '0') + "7\r\ncut=" + std::string(29, '0') +
          "7\r\nlongbin=0b" + std::string(33, '1') +
          "\r\ncontrol=\x01\x1f"
          "5\r\nsignspace=- 5\r\n");
  EXPECT_EQ(7, getInt("fits"));
  EXPECT_EQ(0, getInt("cut"));
  EXPECT_EQ((1 << 27) - 1, getInt("longbin"));
  EXPECT_EQ(5, getInt("control"));
  EXPECT_EQ(0, getInt("signspace"));
}

TEST_F(ProfileTest, AnEmptyOrMissingIntegerGivesTheDefault) {
  useFile("[S]\r\nempty=\r\nblank=  \r\nquotes=\"\"\r\n");
  EXPECT_EQ(77, getInt("empty"));
  EXPECT_EQ(77, getInt("blank"));
  EXPECT_EQ(77, getInt("quotes"));
  EXPECT_EQ(-3, getInt("missing", -3));
}

// ---- files the loader may be fed ---------------------------------------------------------

TEST_F(ProfileTest, AValueLongerThanSixtyFourKilobytesIsCutAndTheRestStillRead) {
  useFile("[S]\r\nv=" + std::string(70000, 'x') + "\r\nw=after\r\n");
  EXPECT_EQ(std::string(255, 'x'), get("S", "v", "", 256));
  EXPECT_EQ("after", get("S", "w"));
}

TEST_F(ProfileTest, TenThousandSectionsAreListedAndSearched) {
  std::string text;
  for (int i = 0; i < 10000; ++i)
    text += "[Section" + std::to_string(i) + "]\r\nkey=" + std::to_string(i) + "\r\n";
  useFile(text);
  std::string names(200000, '#');
  DWORD listed = GetPrivateProfileSectionNamesA(&names[0], (DWORD)names.size(), ini.c_str());
  int count = 0;
  for (DWORD i = 0; i < listed; ++i) count += names[i] == '\0';
  EXPECT_EQ(10000, count);
  EXPECT_EQ("9999", get("Section9999", "key"));
  EXPECT_EQ(5000, (int)GetPrivateProfileIntA("section5000", "KEY", 0, ini.c_str()));
}

TEST_F(ProfileTest, AMegabyteOfBinaryGarbageIsReadWithoutHarm) {
  std::string text;
  uint32_t state = 12345;
  for (int i = 0; i < 1 << 20; ++i) {
    state = state * 1103515245u + 12345u;
    text += (char)(state >> 16);
  }
  text += "\r\n[End]\r\nk=found\r\n";
  useFile(text);
  EXPECT_EQ("found", get("End", "k"));
  std::string names(4096, '#');
  GetPrivateProfileSectionNamesA(&names[0], (DWORD)names.size(), ini.c_str());
  EXPECT_EQ("dflt", get("NoSuchSection", "k"));
}

TEST_F(ProfileTest, ABareFileNameLivesInTheWindowsDirectory) {
  std::string name = "vorn-kernel-profile-" + std::to_string(GetTickCount()) + ".ini";
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "in windows", name.c_str()));
  char path[MAX_PATH];
  GetWindowsDirectoryA(path, MAX_PATH);
  std::string full = std::string(path) + "\\" + name;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(full.c_str()));
  char value[32];
  GetPrivateProfileStringA("S", "k", "", value, sizeof value, full.c_str());
  EXPECT_STREQ("in windows", value);
  DeleteFileA(full.c_str());
}

// ---- writing ---------------------------------------------------------------------------

// A file laid out as the profile functions themselves write one: CRLF line
// ends, no blank lines, no blanks around '='.
const char TIDY_FILE[] = "[Sec]\r\nkey=old\r\nother=x\r\n; comment\r\n[Two]\r\nz=1\r\n";

TEST_F(ProfileTest, WritingCreatesAMissingFile) {
  ini = scratch.path("test.ini");
  EXPECT_TRUE(write("Sec", "key", "val"));
  EXPECT_EQ("[Sec]\r\nkey=val\r\n", fileText());
}

TEST_F(ProfileTest, WritingAnExistingKeyReplacesItsValueInPlace) {
  useFile(TIDY_FILE);
  EXPECT_TRUE(write("sec", "KEY", "new"));
  EXPECT_EQ("[Sec]\r\nkey=new\r\nother=x\r\n; comment\r\n[Two]\r\nz=1\r\n", fileText());
}

TEST_F(ProfileTest, ANewKeyGoesAtTheEndOfItsSection) {
  useFile(TIDY_FILE);
  EXPECT_TRUE(write("Sec", "added", "v"));
  EXPECT_EQ("[Sec]\r\nkey=old\r\nother=x\r\n; comment\r\nadded=v\r\n[Two]\r\nz=1\r\n", fileText());
  EXPECT_EQ("v", get("Sec", "added"));
}

TEST_F(ProfileTest, ANewSectionGoesAtTheEndOfTheFile) {
  useFile(TIDY_FILE);
  EXPECT_TRUE(write("Three", "k", "v"));
  EXPECT_EQ(std::string(TIDY_FILE) + "[Three]\r\nk=v\r\n", fileText());
}

TEST_F(ProfileTest, AFileWithoutAFinalLineEndGetsOneBeforeAnAddition) {
  useFile("[Sec]\r\nkey=old\r\n[Two]\r\nz=1");
  EXPECT_TRUE(write("Two", "added", "v"));
  EXPECT_EQ("[Sec]\r\nkey=old\r\n[Two]\r\nz=1\r\nadded=v\r\n", fileText());
  useFile("[Sec]\r\nkey=old\r\n[Two]\r\nz=1");
  EXPECT_TRUE(write("Three", "k", "v"));
  EXPECT_EQ("[Sec]\r\nkey=old\r\n[Two]\r\nz=1\r\n[Three]\r\nk=v\r\n", fileText());
}

TEST_F(ProfileTest, AWrittenValueLosesItsLeadingBlanksOnly) {
  useFile("[Sec]\r\nkey=old\r\n");
  EXPECT_TRUE(write("Sec", "key", "  spaced  "));
  EXPECT_EQ("[Sec]\r\nkey=spaced  \r\n", fileText());
  EXPECT_EQ("spaced", get("Sec", "key"));
}

TEST_F(ProfileTest, ANullValueRemovesTheKeyAndANullKeyTheSection) {
  useFile(TIDY_FILE);
  EXPECT_TRUE(write("Sec", "other", NULL));
  EXPECT_EQ("[Sec]\r\nkey=old\r\n; comment\r\n[Two]\r\nz=1\r\n", fileText());
  EXPECT_TRUE(write("SEC", NULL, NULL));
  EXPECT_EQ("[Two]\r\nz=1\r\n", fileText());
}

TEST_F(ProfileTest, RemovingFromAMissingFileCreatesNothing) {
  ini = scratch.path("test.ini");
  EXPECT_TRUE(write("Sec", "key", NULL));
  EXPECT_TRUE(write("Sec", NULL, NULL));
  EXPECT_FALSE(scratch.exists("test.ini"));
}

TEST_F(ProfileTest, AWriteGoesToTheFirstOfTwoSectionsOfOneName) {
  useFile("[Sec]\r\nkey=a\r\n[Sec]\r\nkey=b\r\n");
  EXPECT_TRUE(write("Sec", "key", "c"));
  EXPECT_EQ("[Sec]\r\nkey=c\r\n[Sec]\r\nkey=b\r\n", fileText());
}

TEST_F(ProfileTest, WritingIntoAMissingFolderFails) {
  ini = scratch.path("no-such-folder\\test.ini");
  SetLastError(0);
  EXPECT_FALSE(write("Sec", "key", "v"));
  EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
  EXPECT_FALSE(WritePrivateProfileStringA(NULL, "key", "v", scratch.path("x.ini").c_str()));
}

TEST_F(ProfileTest, ShareModesOfOpenHandlesAreRespected) {
  useFile("[Sec]\r\nkey=old\r\n");
  HANDLE reader = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  EXPECT_EQ("old", get("Sec", "key"));
  SetLastError(0);
  EXPECT_FALSE(write("Sec", "key", "new"));
  EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, GetLastError());
  CloseHandle(reader);

  HANDLE owner =
      CreateFileA(ini.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, owner);
  EXPECT_EQ("dflt", get("Sec", "key"));
  EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, GetLastError());
  CloseHandle(owner);

  HANDLE sharing = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  EXPECT_TRUE(write("Sec", "key", "newer"));
  CloseHandle(sharing);
  EXPECT_EQ("newer", get("Sec", "key"));
}

// ---- the lstr* family ----------------------------------------------------------------

TEST(KernelStrings, LstrcmpOrdersLikeTheSystemsWordSort) {
  EXPECT_EQ(-1, lstrcmpA("a", "B"));
  EXPECT_EQ(-1, lstrcmpA("a", "A"));  // lower case first
  EXPECT_EQ(1, lstrcmpA("Ab", "aB"));
  EXPECT_EQ(-1, lstrcmpA("1", "a"));  // digits before letters
  EXPECT_EQ(-1, lstrcmpA("_", "0"));  // punctuation before digits
  EXPECT_EQ(-1, lstrcmpA("a b", "ab"));
  EXPECT_EQ(-1, lstrcmpA("a_b", "ab"));
  EXPECT_EQ(1, lstrcmpA("co-op", "coop"));  // hyphens count last
  EXPECT_EQ(-1, lstrcmpA("ab-", "a-b"));
  EXPECT_EQ(1, lstrcmpA("x-y", "x'y"));
  EXPECT_EQ(1, lstrcmpA("a-B", "ab"));  // case counts before hyphens
  EXPECT_EQ(-1, lstrcmpA("10", "9"));
  EXPECT_EQ(-1, lstrcmpA("a", "ab"));
  EXPECT_EQ(0, lstrcmpA("Same", "Same"));
  EXPECT_EQ(-1, lstrcmpA(NULL, "a"));
  EXPECT_EQ(0, lstrcmpA(NULL, NULL));
}

TEST(KernelStrings, LstrcmpiIgnoresCaseOnly) {
  EXPECT_EQ(0, lstrcmpiA("vornMainWnd", "VORNMAINWND"));
  EXPECT_EQ(-1, lstrcmpiA("a", "B"));
  EXPECT_EQ(1, lstrcmpiA("a-b", "AB"));
  EXPECT_EQ(-1, lstrcmpiA("aB", "a-b"));
}

TEST(KernelStrings, CopiesAndLengths) {
  char buffer[10] = "xxxxxxxxx";
  lstrcpynA(buffer, "hello", 0);
  EXPECT_STREQ("xxxxxxxxx", buffer);
  lstrcpynA(buffer, "hello", 1);
  EXPECT_STREQ("", buffer);
  EXPECT_EQ(buffer, lstrcpynA(buffer, "hello", 3));
  EXPECT_STREQ("he", buffer);
  lstrcpyA(buffer, "ab");
  lstrcatA(buffer, "cd");
  EXPECT_STREQ("abcd", buffer);
  EXPECT_EQ(4, lstrlenA(buffer));
  EXPECT_EQ(0, lstrlenA(NULL));
}

}  // namespace
