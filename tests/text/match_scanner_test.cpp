#include "text/match_scanner.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/text/reference_walker.h"
#include "text/find_text.h"
#include "text/replace_text.h"
#include "text/split_text.h"

namespace cuijian {
namespace {

std::vector<std::size_t> AllMatches(std::string_view text, std::string_view needle,
                                    bool ignore_case, std::size_t start) {
  MatchScanner scanner(text, needle, ignore_case, start);
  std::vector<std::size_t> found;
  for (std::size_t at = scanner.Next(); at != MatchScanner::kNone; at = scanner.Next()) {
    found.push_back(at);
    scanner.SkipMatch(at);
  }
  return found;
}

TEST(MatchScannerTest, AcceptsOnlyCharacterStarts) {
  struct Case {
    const char* name;
    std::string text;
    std::string needle;
    bool ignore_case;
    std::size_t start;
    std::vector<std::size_t> expected;
  };
  const std::string high9(9, '\xB0');    // odd run longer than one word
  const std::string high16(16, '\xB0');  // even run of two whole words
  const std::vector<Case> cases = {
      {"second byte of a pair",
       "\xB0"
       "A"
       "A",
       "A",
       false,
       0,
       {2}},
      {"start inside a pair counts as a start",
       "\xB0"
       "A",
       "A",
       false,
       1,
       {1}},
      {"odd run hides the match", high9 + "<b>", "<b>", false, 0, {}},
      {"even run shows the match", high16 + "<b>", "<b>", false, 0, {16}},
      {"ascii byte resyncs",
       high9 + "x" +
           "\xB0"
           "<b>",
       "<b>",
       false,
       0,
       {}},
      {"ascii byte resyncs before even run", high9 + "x" + "\xB0\xB0<b>", "<b>", false, 0, {12}},
      {"odd run of whole blocks hides the match",
       std::string(129, '\xB0') + "<b>",
       "<b>",
       false,
       0,
       {}},
      {"even run of whole blocks shows the match",
       std::string(192, '\xB0') + "<b>",
       "<b>",
       false,
       0,
       {192}},
      {"known start bounds the walk back", high16 + "<b>", "<b>", false, 1, {}},
      {"high-byte needle in high-byte run",
       std::string(12, '\xC4'),
       "\xC4\xC4",
       false,
       0,
       {0, 2, 4, 6, 8, 10}},
      {"a match moves the start past itself",
       std::string(5, '\xC4'),
       "\xC4",
       false,
       0,
       {0, 1, 2, 3, 4}},
      {"folded letter anchor", "xBRbrBr", "br", true, 0, {1, 3, 5}},
      {"folded anchor behind a lead byte",
       "\xC1"
       "brbr",
       "BR",
       true,
       0,
       {3}},
      {"needle longer than text", "ab", "abc", true, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AllMatches(c.text, c.needle, c.ignore_case, c.start), c.expected);
  }
}

// Random short texts over an alphabet rich in lead bytes, letters of both cases and the bytes of
// the job's markers, compared operation by operation with the literal walkers.
class Differential {
 public:
  explicit Differential(unsigned seed) : rng_(seed) {}

  std::string Text(std::size_t max_length, int high_percent) {
    // The letters at both ends of the range and the bytes just outside it; '@' and '`', and
    // 0xC1 and 0xE1, differ by the case bit but are no letters.
    static const std::string kLow = "AaZzBbRr<>/&;x@`[{";
    static const std::string kHigh = "\x80\xC1\xE1\xC4\xFF";
    std::string s(Pick(max_length + 1), ' ');
    for (char& c : s) {
      c = static_cast<int>(Pick(100)) < high_percent ? kHigh[Pick(kHigh.size())]
                                                     : kLow[Pick(kLow.size())];
    }
    return s;
  }

  // Half of the needles are cut from the text so that matches are frequent.
  std::string Needle(const std::string& text) {
    if (Pick(2) == 0 || text.empty()) return Text(3, 30);
    const std::size_t at = Pick(text.size());
    // Up to ten bytes: needles longer than a word take a different compare.
    return text.substr(at, 1 + Pick(Pick(2) == 0 ? 3 : 10));
  }

  std::optional<int> Maybe(int low, int high) {
    if (Pick(4) == 0) return std::nullopt;
    return low + static_cast<int>(Pick(static_cast<std::size_t>(high - low + 1)));
  }

  std::size_t Pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }

 private:
  std::mt19937 rng_;
};

void CompareAll(Differential& random, std::size_t max_length, int high_percent, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    const std::string text = random.Text(max_length, high_percent);
    const std::string needle = random.Needle(text);
    const std::string replacement = random.Text(3, 30);
    const int length = static_cast<int>(text.size());
    const std::optional<int> start = random.Maybe(-2, length + 2);
    const std::optional<int> count = random.Maybe(-2, 3);
    const bool flag = random.Pick(2) == 0;
    SCOPED_TRACE(testing::Message() << "round " << round << " text=" << testing::PrintToString(text)
                                    << " needle=" << testing::PrintToString(needle));
    ASSERT_EQ(FindText(text, needle, start, flag), reference::FindText(text, needle, start, flag));
    ASSERT_EQ(ReplaceText(text, needle, replacement, start, count, flag),
              reference::ReplaceText(text, needle, replacement, start, count, flag));
    const std::optional<std::string_view> delimiter =
        random.Pick(8) == 0 ? std::nullopt : std::optional<std::string_view>(needle);
    ASSERT_EQ(SplitText(text, delimiter, count), reference::SplitText(text, delimiter, count));
  }
}

TEST(MatchScannerTest, AgreesWithLiteralWalkOnShortRandomTexts) {
  Differential random(20240611);
  CompareAll(random, 24, 40, 60000);
}

TEST(MatchScannerTest, AgreesWithLiteralWalkOnLongHighByteRuns) {
  // Long runs of lead bytes reach the word-at-a-time walk back and its tail.
  Differential random(7);
  CompareAll(random, 160, 90, 6000);
  Differential nearly_all_high(11);
  CompareAll(nearly_all_high, 400, 99, 1500);
}

}  // namespace
}  // namespace cuijian
