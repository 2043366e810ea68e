#include "text/replace_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace cuijian {
namespace {

struct ReplaceCase {
  const char* name;
  std::string text;
  std::string search;
  std::string replacement;
  std::optional<int> start;
  std::optional<int> count;
  bool case_sensitive;
  std::string expected;
};

TEST(ReplaceTextTest, ReplacesAtCharacterStarts) {
  const std::vector<ReplaceCase> cases = {
      {"every match", "a,b,c", ",", ";", std::nullopt, std::nullopt, true, "a;b;c"},
      {"omitted replacement deletes", "a,b,c", ",", "", std::nullopt, std::nullopt, true, "abc"},
      {"count 0 replaces nothing", "a,b,c", ",", ";", std::nullopt, 0, true, "a,b,c"},
      {"count 1", "a,b,c", ",", ";", std::nullopt, 1, true, "a;b,c"},
      {"count -5 replaces every match", "a,b,c", ",", ";", std::nullopt, -5, true, "a;b;c"},
      {"count above the matches", "a,b", ",", ";", std::nullopt, 9, true, "a;b"},
      {"empty search", "a,b", "", ";", std::nullopt, std::nullopt, true, "a,b"},
      {"empty text", "", ",", ";", std::nullopt, std::nullopt, true, ""},
      {"start past the end", "a,b", ",", ";", 4, std::nullopt, true, "a,b"},
      {"start keeps the bytes before it", "a,b,c", ",", ";", 3, std::nullopt, true, "a,b;c"},
      {"start 0 and negative mean byte 1", ",a", ",", ";", -3, std::nullopt, true, ";a"},
      {"doubling does not loop", "abca", "a", "aa", std::nullopt, std::nullopt, true, "aabcaa"},
      {"matches never overlap", "aaa", "aa", "b", std::nullopt, std::nullopt, true, "ba"},
      {"case-insensitive by default flag false", "<BR/>x<Br/>", "<br/>", "\r\n", std::nullopt,
       std::nullopt, false, "\r\nx\r\n"},
      {"case-sensitive keeps other cases", "<BR/>x<br/>", "<br/>", "\r\n", std::nullopt,
       std::nullopt, true, "<BR/>x\r\n"},
      {"second byte of a pair stays",
       "\xB0"
       "A"
       "A",
       "A", "-", std::nullopt, std::nullopt, true,
       "\xB0"
       "A-"},
      {"0x80 before a match hides it", "\x80&nbsp;", "&nbsp;", " ", std::nullopt, std::nullopt,
       true, "\x80&nbsp;"},
      {"the byte after a match is a character start", "\xB0\xB0\xB0", "\xB0", "x", std::nullopt,
       std::nullopt, true, "xxx"},
      {"final lone lead byte is kept", "a,\xD6", ",", ";", std::nullopt, std::nullopt, true,
       "a;\xD6"},
      {"final lone lead byte kept when nothing matches", "ab\xD6", "x", ";", std::nullopt,
       std::nullopt, true, "ab\xD6"},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReplaceText(c.text, c.search, c.replacement, c.start, c.count, c.case_sensitive),
              c.expected);
  }
}

TEST(ReplaceTextTest, DefaultsIgnoreCaseAndReplaceAll) {
  EXPECT_EQ(ReplaceText("Ab ab AB", "ab"), "  ");
}

TEST(ReplaceTextTest, LargeTextWithManyMatches) {
  // Every other byte matches: the result must still be built in one pass and come out whole.
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "\xD6\xD0,";
  const Text result = ReplaceText(text, ",", "<br/>");
  ASSERT_EQ(result.size(), 200000u * 7);
  EXPECT_EQ(result.substr(0, 14), "\xD6\xD0<br/>\xD6\xD0<br/>");
}

}  // namespace
}  // namespace cuijian
