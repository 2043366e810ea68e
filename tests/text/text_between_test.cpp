#include "text/text_between.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace cuijian {
namespace {

// "#引号" in code page 936.
constexpr const char* kPlaceholder = "#\xD2\xFD\xBA\xC5";

struct BetweenCase {
  const char* name;
  std::string text;
  std::string front;
  std::string back;
  std::optional<int> start;
  bool ignore_case;
  std::string expected;
};

TEST(TextBetweenTest, CutsBetweenMarkers) {
  const std::string link =
      "<dd> <a href=\"/43_43821/1.html\">\xB5\xDA"
      "1</a></dd>";
  const std::vector<BetweenCase> cases = {
      {"title", "<h1>\xD6\xD0</h1>", "<h1>", "</h1>", std::nullopt, false, "\xD6\xD0"},
      {"front missing", "abc</h1>", "<h1>", "</h1>", std::nullopt, false, ""},
      {"back missing", "<h1>abc", "<h1>", "</h1>", std::nullopt, false, ""},
      {"back only before front", "</h1>x<h1>abc", "<h1>", "</h1>", std::nullopt, false, ""},
      {"back before front is skipped", "]a[b]", "[", "]", std::nullopt, false, "b"},
      {"markers touch", "<h1></h1>", "<h1>", "</h1>", std::nullopt, false, ""},
      {"back inside front is not taken", "<ab>c>", "<ab>", ">", std::nullopt, false, "c"},
      {"first pair only", "[a][b]", "[", "]", std::nullopt, false, "a"},
      {"start skips the first front", "[a][b]", "[", "]", 2, false, "b"},
      {"start past the end", "[a]", "[", "]", 4, false, ""},
      {"placeholder in front marker", link, std::string("href=") + kPlaceholder,
       std::string(kPlaceholder) + ">", std::nullopt, false, "/43_43821/1.html"},
      {"placeholder is not a literal", "href=#\xD2\xFD\xBA\xC5x\"",
       std::string("href=") + kPlaceholder, "\"", std::nullopt, false, ""},
      {"empty front gives text before back", "abc</h1>d</h1>", "", "</h1>", std::nullopt, false,
       "abc"},
      {"empty back", "<h1>abc", "<h1>", "", std::nullopt, false, ""},
      {"ignore case", "<H1>T</h1>", "<h1>", "</H1>", std::nullopt, true, "T"},
      {"case matters without the flag", "<H1>T</h1>", "<h1>", "</h1>", std::nullopt, false, ""},
      {"front marker at the very end", "ab<h1>", "<h1>", "</h1>", std::nullopt, false, ""},
      {"marker behind a lead byte is hidden", "\xB0<h1>x</h1><h1>y</h1>", "<h1>", "</h1>",
       std::nullopt, false, "y"},
  };
  for (const BetweenCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBetween(c.text, c.front, c.back, c.start, c.ignore_case), c.expected);
  }
}

}  // namespace
}  // namespace cuijian
