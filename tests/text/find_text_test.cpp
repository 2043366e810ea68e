#include "text/find_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace cuijian {
namespace {

// Code page 936: "中" D6 D0, "文" CE C4; 0x81 0x41 and 0x81 0x61 are two characters whose second
// bytes are 'A' and 'a'.
constexpr const char* kZhong = "\xD6\xD0";

struct FindCase {
  const char* name;
  std::string text;
  std::string search;
  std::optional<int> start;
  bool ignore_case;
  int expected;
};

TEST(FindTextTest, FollowsStartPositionsAndCharacters) {
  const std::vector<FindCase> cases = {
      {"start omitted", "abcabc", "abc", std::nullopt, false, 1},
      {"start 0 is byte 1", "abcabc", "abc", 0, false, 1},
      {"start 1", "abcabc", "abc", 1, false, 1},
      {"negative start is byte 1", "abcabc", "abc", -5, false, 1},
      {"position counts from the text start", "abcabc", "abc", 2, false, 4},
      {"match at the start position itself", "abcabc", "abc", 4, false, 4},
      {"start at the last byte", "abcabc", "c", 6, false, 6},
      {"start one past the end", "abcabc", "c", 7, false, -1},
      {"start far past the end", "abc", "a", 1000, false, -1},
      {"no match", "abcabc", "abd", std::nullopt, false, -1},
      {"search longer than text", "ab", "abc", std::nullopt, false, -1},
      {"empty text", "", "a", std::nullopt, false, -1},
      {"empty search in text", "abc", "", std::nullopt, false, 1},
      {"empty search ignores the start", "abc", "", 3, false, 1},
      {"empty search past the end", "abc", "", 4, false, -1},
      {"empty search in empty text", "", "", std::nullopt, false, -1},
      {"second byte of a pair is not found",
       "\xB0"
       "A",
       "A", std::nullopt, false, -1},
      {"second byte found where it is a character",
       "\xB0"
       "AA",
       "A", std::nullopt, false, 3},
      {"start on a second byte reads it as a character",
       "\xB0"
       "A",
       "A", 2, false, 2},
      {"0x80 before a match hides it", "\x80<br/>", "<br/>", std::nullopt, false, -1},
      {"0x80 pair then the match", "\x80x<br/>", "<br/>", std::nullopt, false, 3},
      {"two-byte search", std::string("a") + kZhong + "\xCE\xC4", "\xCE\xC4", std::nullopt, false,
       4},
      {"pair straddling two characters is not found", std::string(kZhong) + kZhong, "\xD0\xD6",
       std::nullopt, false, -1},
      {"lone lead byte at the end found by itself", "ab\xD6", "\xD6", std::nullopt, false, 3},
      {"lone lead byte at the end ends the scan", "a\xD6", "x", std::nullopt, false, -1},
      {"ignore case finds small letters", "xx<br/>", "<BR/>", std::nullopt, true, 3},
      {"ignore case finds mixed case", "xx<bR/>", "<Br/>", std::nullopt, true, 3},
      {"case matters without the flag", "xx<br/>", "<BR/>", std::nullopt, false, -1},
      {"high byte never equals a low one", "\xC1", "A", std::nullopt, true, -1},
      {"second bytes fold too", "\x81\x61", "\x81\x41", std::nullopt, true, 1},
      {"only letters fold", "@", "`", std::nullopt, true, -1},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindText(c.text, c.search, c.start, c.ignore_case), c.expected);
  }
}

TEST(FindTextTest, MarkerAfterLongChineseText) {
  // A run of thousands of pairs before an ASCII marker, once in step and once shifted by a lone
  // lead byte that swallows the marker's first byte.
  std::string text;
  for (int i = 0; i < 5000; ++i) text += kZhong;
  EXPECT_EQ(FindText(text + "<script>", "<script>"), 10001);
  EXPECT_EQ(FindText(text + "\xB0<script>", "<script>"), -1);
  EXPECT_EQ(FindText(text + "\xB0<<script>", "<script>"), 10003);
}

}  // namespace
}  // namespace cuijian
