#include "text/one_pass_replace.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/replace_pairs.h"
#include "text/replace_text.h"

namespace cuijian {
namespace {

// What replacing pair after pair gives: each pair one ReplaceText of every match from byte 1.
std::string PairAfterPair(std::string text, const std::vector<ReplacePair>& pairs,
                          bool case_sensitive) {
  for (const ReplacePair& pair : pairs) {
    text = ReplaceText(text, pair.search, pair.replacement, 1, std::nullopt, case_sensitive);
  }
  return text;
}

TEST(OnePassReplaceTest, TakesOnlyPairsThatOnePassGetsRight) {
  struct Case {
    const char* name;
    std::vector<ReplacePair> pairs;
    bool case_sensitive;
    bool taken;
  };
  const Case cases[] = {
      {"the job's pairs", {{"<br/>", "\r\n"}, {"&nbsp;", " "}}, false, true},
      {"the job's pairs, case counting", {{"<br/>", "\r\n"}, {"&nbsp;", " "}}, true, true},
      {"empty search texts are left out", {{"", "x"}, {";", ","}, {"", ""}}, false, true},
      {"only empty search texts", {{"", "x"}}, false, false},
      {"no pairs", {}, false, false},
      {"search text of nine bytes", {{"123456789", "x"}}, false, false},
      {"replacement longer than its search", {{";", ",,"}}, false, false},
      {"high byte in a search text", {{"\xB0\xA1", "x"}}, false, false},
      {"high byte in a replacement", {{"ab", "\xB0\xA1"}}, false, false},
      {"same first byte", {{"ab", "x"}, {"ac", "y"}}, true, false},
      {"same first byte once folded", {{"Ab", "x"}, {"ac", "y"}}, false, false},
      {"first bytes differing in case", {{"Ab", "x"}, {"ac", "y"}}, true, true},
      {"first byte inside another search", {{"b", "x"}, {"ab", "y"}}, false, false},
      {"earlier replacement forms a later match", {{"X", "Y"}, {"Y", "Z"}}, true, false},
      {"earlier replacement forms a later match once folded",
       {{"X", "y"}, {"Y", "Z"}},
       false,
       false},
      {"later replacement holds an earlier search", {{"Y", "Z"}, {"X", "Y"}}, true, true},
      {"earlier pair deletes: its neighbours could join", {{"X", ""}, {"ab", "c"}}, true, false},
      {"last pair deletes", {{"ab", "c"}, {"X", ""}}, true, true},
      {"five bytes can begin a match", {{"a", "1"}, {"b", "2"}, {";", "3"}}, false, false},
      {"four bytes can begin a match",
       {{"a", "1"}, {"b", "2"}, {";", "3"}, {"<", "4"}},
       true,
       true},
      {"search text holding its own first byte", {{"aXa", "b"}}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = "aXaXa<BR/>&NBSP;AbacYX\xB0<br/>;aXb";
    const std::optional<std::string> result = ReplaceAllInOnePass(text, c.pairs, c.case_sensitive);
    EXPECT_EQ(result.has_value(), c.taken);
    if (result.has_value()) {
      EXPECT_EQ(*result, PairAfterPair(text, c.pairs, c.case_sensitive));
    }
  }
}

TEST(OnePassReplaceTest, CharacterRuleAcrossBlocks) {
  // A tag right after a run of high bytes is a match only when the run has an even length, so
  // that the tag begins a character; runs of every length around the 64-byte blocks.
  const std::vector<ReplacePair> pairs = {{"<br/>", "\r\n"}, {"&nbsp;", " "}};
  for (std::size_t prefix = 0; prefix < 8; ++prefix) {
    for (std::size_t run = 0; run < 140; ++run) {
      std::string text(prefix, 'a');
      text += std::string(run, '\xC4') + "<br/>&nbsp;" + std::string(run % 3, '\xB0') + "<BR/>";
      SCOPED_TRACE(testing::Message() << "prefix " << prefix << " run " << run);
      const std::optional<std::string> result = ReplaceAllInOnePass(text, pairs, false);
      ASSERT_TRUE(result.has_value());
      ASSERT_EQ(*result, PairAfterPair(text, pairs, false));
    }
  }
}

// Random texts made of pieces of the search texts in either case, high bytes in runs of any
// length, and bytes around them, long enough to span several blocks and end anywhere in one.
class RandomPieces {
 public:
  explicit RandomPieces(unsigned seed) : random_(seed) {}

  std::string Text(const std::vector<ReplacePair>& pairs) {
    std::string text;
    const std::size_t length = Pick(300);
    while (text.size() < length) {
      switch (Pick(6)) {
        case 0:
        case 1: {
          const std::string_view search = pairs[Pick(pairs.size())].search;
          // Whole or cut short, with letters in random case.
          std::string piece(search.substr(0, Pick(2) == 0 ? search.size() : Pick(search.size())));
          for (char& c : piece) {
            if (Pick(3) == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
          }
          text += piece;
          break;
        }
        case 2:
          text += std::string(Pick(Pick(2) == 0 ? 4 : 80), kHigh[Pick(sizeof kHigh - 1)]);
          break;
        default:
          text += kOther[Pick(sizeof kOther - 1)];
          break;
      }
    }
    return text;
  }

  std::size_t Pick(std::size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

 private:
  static constexpr char kHigh[] = "\x80\xB0\xC4\xE1\xFF";
  static constexpr char kOther[] = "abnrXY;&</> \r\n@`";
  std::mt19937 random_;
};

// ReplacePairs with every match from byte 1; it takes its pairs as a list written in the call.
std::string ThroughReplacePairs(const std::string& text, const std::vector<ReplacePair>& p,
                                bool case_sensitive) {
  switch (p.size()) {
    case 1:
      return ReplacePairs(text, std::nullopt, std::nullopt, case_sensitive, {p[0]});
    case 2:
      return ReplacePairs(text, std::nullopt, std::nullopt, case_sensitive, {p[0], p[1]});
    case 3:
      return ReplacePairs(text, std::nullopt, std::nullopt, case_sensitive, {p[0], p[1], p[2]});
    default:
      return ReplacePairs(text, std::nullopt, std::nullopt, case_sensitive,
                          {p[0], p[1], p[2], p[3]});
  }
}

TEST(OnePassReplaceTest, AgreesWithPairAfterPairOnRandomTexts) {
  // One to four bytes that can begin a match, and one set that one pass must refuse.
  const std::vector<std::vector<ReplacePair>> pair_sets = {
      {{"&nbsp;", " "}},
      {{"<br/>", "\r\n"}, {"&nbsp;", " "}},
      {{"&nbsp;", " "}, {"<br/>", "\r\n"}, {"[p]", "\n"}},
      {{"aXa", "b"}, {";", ","}},
      {{"nb", "N"}, {"r", "R"}},
      {{"<", "["}, {">", "]"}, {"&", "+"}, {";", ""}},
      {{"X", "Y"}, {"Y", "Z"}},  // one pass refused: ReplacePairs goes pair after pair
  };
  RandomPieces random(20261211);
  int taken = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::vector<ReplacePair>& pairs = pair_sets[random.Pick(pair_sets.size())];
    const bool case_sensitive = random.Pick(2) == 0;
    const std::string text = random.Text(pairs);
    SCOPED_TRACE(testing::Message()
                 << "round " << round << " text " << testing::PrintToString(text));
    const std::string expected = PairAfterPair(text, pairs, case_sensitive);
    const std::optional<std::string> result = ReplaceAllInOnePass(text, pairs, case_sensitive);
    if (result.has_value()) {
      ++taken;
      ASSERT_EQ(*result, expected);
    }
    const std::string through_pairs = ThroughReplacePairs(text, pairs, case_sensitive);
    ASSERT_EQ(through_pairs, expected);
  }
  EXPECT_GT(taken, 16000);
}

}  // namespace
}  // namespace cuijian
