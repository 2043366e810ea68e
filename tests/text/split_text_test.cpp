#include "text/split_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace cuijian {
namespace {

struct SplitCase {
  const char* name;
  std::string text;
  std::optional<std::string> delimiter;
  std::optional<int> limit;
  std::vector<std::string> expected;
};

TEST(SplitTextTest, CutsAtDelimiters) {
  const std::vector<SplitCase> cases = {
      {"omitted delimiter is a comma", "a,b", std::nullopt, std::nullopt, {"a", "b"}},
      {"empty text", "", ",", std::nullopt, {}},
      {"no delimiter in text", "abc", ",", std::nullopt, {"abc"}},
      {"leading delimiter", ",a", ",", std::nullopt, {"", "a"}},
      {"trailing delimiter", "a,", ",", std::nullopt, {"a"}},
      {"only a delimiter", ",", ",", std::nullopt, {""}},
      {"double delimiter", "a,,b", ",", std::nullopt, {"a", "", "b"}},
      {"multi-byte delimiter", "x<dd> <a y<dd> <a z", "<dd> <a ", std::nullopt, {"x", "y", "z"}},
      {"case matters", "a<DD> <a b", "<dd> <a ", std::nullopt, {"a<DD> <a b"}},
      {"empty delimiter gives the whole text", "a,b", "", std::nullopt, {"a,b"}},
      {"limit 0", "a,b", ",", 0, {}},
      {"negative limit", "a,b", ",", -3, {}},
      {"limit 2 of four pieces", "a,b,c,d", ",", 2, {"a", "b"}},
      {"limit 1 keeps only the first piece", "a,b", ",", 1, {"a"}},
      {"limit above the pieces", "a,b", ",", 5, {"a", "b"}},
      {"limit on the last piece", "a,b", ",", 2, {"a", "b"}},
      {"delimiter inside a pair is no delimiter", "\xB0,a,b", ",", std::nullopt, {"\xB0,a", "b"}},
      {"0x80 swallows the delimiter's first byte",
       "x\x80<dd>y",
       "<dd>",
       std::nullopt,
       {"x\x80<dd>y"}},
      {"last lone lead byte ends the scan", "a,\xB0", ",", std::nullopt, {"a", "\xB0"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<std::string_view> delimiter =
        c.delimiter ? std::optional<std::string_view>(*c.delimiter) : std::nullopt;
    EXPECT_EQ(SplitText(c.text, delimiter, c.limit), c.expected);
  }
}

}  // namespace
}  // namespace cuijian
