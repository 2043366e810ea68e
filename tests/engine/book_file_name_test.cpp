#include "engine/book_file_name.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace cuijian {
namespace {

struct NameCase {
  const char* name;
  std::string title;      // code page 936
  std::string file_name;  // UTF-8
};

// Test listings show the case's name rather than its bytes.
void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

class BookFileNameTableTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(BookFileNameTableTest, GivesOneSafeName) {
  EXPECT_EQ(BookFileName(GetParam().title), GetParam().file_name);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, BookFileNameTableTest,
    ::testing::Values(NameCase{"Empty", "", ".txt"},
                      NameCase{"ChineseBecomesUtf8", "\xCE\xD2\xB5\xC4\xCA\xE9", "我的书.txt"},
                      NameCase{"SlashStaysInTheFolder", "a/b", "a／b.txt"},
                      NameCase{"DotDotIsAName", "..", "...txt"},
                      NameCase{"DotIsAName", ".", "..txt"},
                      NameCase{"ParentPathIsAName", "../x", "..／x.txt"},
                      NameCase{"AbsolutePathIsAName", "/etc/passwd", "／etc／passwd.txt"},
                      NameCase{"RefusedCharactersFullWidth", "/\\:*?\"<>|",
                               "／＼：＊？＂＜＞｜.txt"},
                      NameCase{"ControlCharactersDropped",
                               "a\tb\r\nc\x1F\x7F"
                               "d",
                               "abcd.txt"},
                      NameCase{"BlanksAndOtherPunctuationStay", " a-b_c (1) ", " a-b_c (1) .txt"},
                      NameCase{"BadCodePageBytesBecomeQuestionMarksFullWidth", "a\xFF", "a？.txt"}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

// True when `text` holds no character cut short at its end.
bool IsWholeUtf8(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (at + length > text.size()) return false;
    at += length;
  }
  return true;
}

TEST(BookFileNameTest, LongTitlesAreCutAtACharacterToFit255Bytes) {
  EXPECT_EQ(BookFileName(std::string(251, 'a')), std::string(251, 'a') + ".txt");
  EXPECT_EQ(BookFileName(std::string(400, 'a')), std::string(251, 'a') + ".txt");

  // 2 bytes in code page 936, 3 in UTF-8: 83 characters (249 bytes) fit, the 84th would not.
  std::string chinese;
  for (int i = 0; i < 200; ++i) chinese += "\xCA\xE9";  // 书
  std::string expected;
  for (int i = 0; i < 83; ++i) expected += "书";
  EXPECT_EQ(BookFileName(chinese), expected + ".txt");

  // A full-width form near the end is cut whole too.
  const std::string name = BookFileName(std::string(249, 'a') + "/b");
  EXPECT_EQ(name, std::string(249, 'a') + ".txt");
  EXPECT_TRUE(IsWholeUtf8(name));
}

}  // namespace
}  // namespace cuijian
