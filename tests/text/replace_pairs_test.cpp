#include "text/replace_pairs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/replace_text.h"

namespace cuijian {
namespace {

TEST(ReplacePairsTest, JobPairsCleanAChapterBody) {
  const std::string body = "&nbsp;&NBSP;\xD6\xD0<br/><BR/>\xCE\xC4<Br/>";
  EXPECT_EQ(ReplacePairs(body, std::nullopt, std::nullopt, std::nullopt,
                         {{"<br/>", "\r\n"}, {"&nbsp;", " "}}),
            "  \xD6\xD0\r\n\r\n\xCE\xC4\r\n");
}

TEST(ReplacePairsTest, LaterPairsSeeEarlierReplacements) {
  // X becomes Y and then every Y, old and new, becomes Z.
  EXPECT_EQ(ReplacePairs("XaYb", std::nullopt, std::nullopt, true, {{"X", "Y"}, {"Y", "Z"}}),
            "ZaZb");
}

TEST(ReplacePairsTest, CountLimitsEachPairSeparately) {
  EXPECT_EQ(ReplacePairs("a,a,b;b;", 1, std::nullopt, true, {{",", "-"}, {";", "+"}}), "a-a,b+b;");
  EXPECT_EQ(ReplacePairs("a,a", 0, std::nullopt, true, {{",", "-"}}), "a,a");
}

TEST(ReplacePairsTest, StartAndCaseDefaults) {
  // Start 0 means byte 1, other values pass through; the flag omitted folds ASCII letters.
  EXPECT_EQ(ReplacePairs(",a,", std::nullopt, 0, std::nullopt, {{",", "-"}}), "-a-");
  EXPECT_EQ(ReplacePairs(",a,", std::nullopt, 2, std::nullopt, {{",", "-"}}), ",a-");
  EXPECT_EQ(ReplacePairs(",a,", std::nullopt, -4, std::nullopt, {{",", "-"}}), "-a-");
  EXPECT_EQ(ReplacePairs("Ab", std::nullopt, std::nullopt, std::nullopt, {{"ab", "x"}}), "x");
  EXPECT_EQ(ReplacePairs("Ab", std::nullopt, std::nullopt, true, {{"ab", "x"}}), "Ab");
}

TEST(ReplacePairsTest, EmptyPairsDoNothing) {
  const std::string text = "a<br/>b";
  EXPECT_EQ(ReplacePairs(text, std::nullopt, std::nullopt, std::nullopt, {}), text);
  EXPECT_EQ(ReplacePairs(text, std::nullopt, std::nullopt, std::nullopt, {{"", "x"}, {"", ""}}),
            text);
  // One pair with the rest omitted is the same as one ReplaceText.
  EXPECT_EQ(ReplacePairs(text, std::nullopt, std::nullopt, std::nullopt,
                         {{"<BR/>", "\r\n"}, {"", ""}, {"", ""}, {"", ""}, {"", ""}}),
            ReplaceText(text, "<BR/>", "\r\n", 1, std::nullopt, false));
  EXPECT_EQ(ReplacePairs("a,b", std::nullopt, std::nullopt, true, {{",", ""}}), "ab");
}

}  // namespace
}  // namespace cuijian
