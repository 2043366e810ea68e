#include "text/text_basics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cuijian {
namespace {

TEST(TextBasicsTest, LengthCountsBytes) {
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("a\xD6\xD0"), 3);
}

TEST(TextBasicsTest, JoinSkipsEmptyParts) {
  const std::string owned = "\xD6\xD0";
  EXPECT_EQ(JoinTexts("a", "", owned, std::string_view("b")),
            "a\xD6\xD0"
            "b");
  EXPECT_EQ(JoinTexts("", ""), "");
}

TEST(TextBasicsTest, CompareByUnsignedBytes) {
  struct Case {
    const char* name;
    std::string a;
    std::string b;
    int expected;
  };
  const std::vector<Case> cases = {
      {"both empty", "", "", 0},
      {"equal", "abc", "abc", 0},
      {"empty is smaller", "", "a", -1},
      {"prefix is smaller", "ab", "abc", -1},
      {"longer is greater", "abc", "ab", 1},
      {"first difference decides", "abz", "acA", -1},
      {"high byte above ascii", "\xD6", "z", 1},
      {"case matters", "A", "a", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CompareTexts(c.a, c.b), c.expected);
  }
}

TEST(TextBasicsTest, MidCutsByBytes) {
  struct Case {
    const char* name;
    int start;
    int length;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"middle", 2, 3, "bcd"},
      {"runs past the end", 4, 100, "def"},
      {"last byte", 6, 1, "f"},
      {"start 0", 0, 3, ""},
      {"negative start", -1, 3, ""},
      {"start past the end", 7, 1, ""},
      {"length 0", 2, 0, ""},
      {"negative length", 2, -1, ""},
      {"huge length", 1, 2147483647, "abcdef"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MidText("abcdef", c.start, c.length), c.expected);
  }
}

TEST(TextBasicsTest, MemberCount) {
  EXPECT_EQ(MemberCount({}), 0);
  EXPECT_EQ(MemberCount({"", "a"}), 2);
}

}  // namespace
}  // namespace cuijian
