// TkTxtFile byte for byte, and the wide-text conversions under it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/TextEncoding.h"
#include "records/TkTxtFile.h"
#include "tests/records/ExportTestSupport.h"

namespace records {
namespace {

using records_testing::fileBytes;
using records_testing::namesIn;
using records_testing::raw;
namespace fs = std::filesystem;

class TkTxtFileTest : public ::testing::Test {
 protected:
  fs::path pathOf(const std::u16string& name) const { return fs::path(temp.path()) / fs::path(name); }
  bool append(const std::u16string& name, const std::u16string& line) const {
    return TkTxtFile(pathOf(name).u16string()).AppendLine(line);
  }
  testing_support::TempDir temp;
};

TEST_F(TkTxtFileTest, MarkOnlyAtTheStartOfANewFileAndCrLfForEveryLineFeed) {
  {
    TkTxtFile file(pathOf(u"a.txt").u16string());
    EXPECT_TRUE(file.AppendLine(u"Ann : 5"));
    EXPECT_TRUE(file.AppendLine(u""));
    // A CR LF pair in the text stays one pair (it used to become CR CR LF);
    // a lone CR stays.
    EXPECT_TRUE(file.AppendLine(u"x\ny\r\nz\r"));
    EXPECT_TRUE(file.Close());
  }
  const std::string written = raw("\xFF\xFE"
                                  "A\0n\0n\0 \0:\0 \0"
                                  "5\0\r\0\n\0"
                                  "\r\0\n\0"
                                  "x\0\r\0\n\0y\0\r\0\n\0z\0\r\0\r\0\n\0");
  EXPECT_EQ(fileBytes(pathOf(u"a.txt")), written);

  // A second writer of the same name (a second export in the same second
  // used to append to the first one's files) writes nothing; neither into
  // an empty file that was there before.
  EXPECT_FALSE(append(u"a.txt", u"again"));
  EXPECT_EQ(fileBytes(pathOf(u"a.txt")), written);
  { std::ofstream create(pathOf(u"empty.txt"), std::ios::binary); }
  EXPECT_FALSE(append(u"empty.txt", u""));
  EXPECT_EQ(fileBytes(pathOf(u"empty.txt")), "");
}

TEST_F(TkTxtFileTest, LongFileIsWholeAndAFailureNamesTheFileAndStaysFailed) {
  std::string expected = raw("\xFF\xFE");
  {
    TkTxtFile file(pathOf(u"long.txt").u16string());
    for (int line = 0; line < 20000; ++line) {
      EXPECT_TRUE(file.AppendLine(u"line"));
      expected += raw("l\0i\0n\0e\0\r\0\n\0");
    }
  }  // closed (and the last piece written) when it goes
  EXPECT_EQ(fileBytes(pathOf(u"long.txt")), expected);

  TkTxtFile taken(pathOf(u"long.txt").u16string());
  EXPECT_FALSE(taken.AppendLine(u"x"));
  EXPECT_TRUE(taken.failed());
  EXPECT_NE(taken.failure().find("long.txt: "), std::string::npos) << taken.failure();
  EXPECT_FALSE(taken.AppendLine(u"y"));
  EXPECT_FALSE(taken.Close());
}

TEST_F(TkTxtFileTest, LinkPlantedAtTheNameIsNeverWrittenThrough) {
  const fs::path outside = pathOf(u"outside.txt");
  { std::ofstream create(outside, std::ios::binary); create << "untouched"; }
  std::error_code error;
  fs::create_symlink(outside, pathOf(u"contacts.txt"), error);
  if (error) GTEST_SKIP() << "no links can be made here: " << error.message();
  fs::create_symlink(pathOf(u"nowhere.txt"), pathOf(u"dangling.txt"));
  EXPECT_FALSE(append(u"contacts.txt", u"Ann(Mobile) : 5"));
  EXPECT_FALSE(append(u"dangling.txt", u"Ann(Mobile) : 5"));
  EXPECT_EQ(fileBytes(outside), "untouched");
  EXPECT_FALSE(fs::exists(pathOf(u"nowhere.txt")));
}

TEST_F(TkTxtFileTest, UnitsAreLittleEndianAndTheFileNameKeepsEveryCharacter) {
  const std::u16string name = u"Zo\u00EB \u738B \U0001F600.txt";
  EXPECT_TRUE(append(name, u"\u00E9\u738B\U0001F600"));
  EXPECT_EQ(namesIn(temp.path()), records_testing::Lines{name});
  EXPECT_EQ(fileBytes(pathOf(name)), raw("\xFF\xFE"
                                         "\xE9\x00"
                                         "\x8B\x73"
                                         "\x3D\xD8\x00\xDE\r\0\n\0"));
}

TEST_F(TkTxtFileTest, LineIsLostWhenTheFileCannotBeOpened) {
  EXPECT_FALSE(append(u"missing/x.txt", u"lost"));
  EXPECT_FALSE(fs::exists(pathOf(u"missing"))) << "the writer makes no folders";
  fs::create_directory(pathOf(u"folder.txt"));
  EXPECT_FALSE(append(u"folder.txt", u"lost"));
}

TEST(WideText, ConversionsBothWays) {
  EXPECT_EQ(platform::utf16FromNarrow(platform::narrowFromUtf8("Jos\xC3\xA9")), u"Jos\u00E9");
  EXPECT_EQ(platform::utf16FromNarrow(raw("a\0b")), std::u16string(u"a\0b", 3));
  EXPECT_EQ(platform::utf8FromUtf16(u"\u00EB\u738B\U0001F600"), "\xC3\xAB\xE7\x8E\x8B\xF0\x9F\x98\x80");
  EXPECT_EQ(platform::utf8FromUtf16(std::u16string{u'\xD83D', u'x', u'\xDE00'}), "\xEF\xBF\xBDx\xEF\xBF\xBD");
  // Narrow text is UTF-8 on every system: one U+FFFD per maximal ill-formed part.
  EXPECT_EQ(platform::utf16FromNarrow("\xE7\x8E\x8B\xF0\x9F\x98\x80"), u"\u738B\U0001F600");
  EXPECT_EQ(platform::utf16FromNarrow("a\x80z\xE7\x8E"), u"a\uFFFDz\uFFFD");
  EXPECT_EQ(platform::utf16FromNarrow("\xC0\xAF\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace records
