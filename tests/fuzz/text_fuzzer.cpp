// Fuzzes the scanning operations of the toolkit on arbitrary bytes and arguments and checks the
// invariants that a caller relies on: positions point at real matches, splitting loses no byte,
// replacing touches only matches, and no result ever holds a zero byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_check.h"
#include "text/find_text.h"
#include "text/replace_pairs.h"
#include "text/replace_text.h"
#include "text/split_text.h"
#include "text/text_between.h"

namespace cuijian::fuzz {
namespace {

constexpr std::size_t kMaxTextBytes = 2048;
constexpr std::size_t kMaxArgumentBytes = 24;

unsigned char Byte(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal bytes, or equal after folding ASCII A-Z when case is ignored.
bool SameBytes(std::string_view a, std::string_view b, bool ignore_case) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    if (!ignore_case || Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

// A start position as the toolkit takes it: mostly near the text, sometimes anything at all,
// since the extremes of int are where offset arithmetic overflows.
std::optional<int> ConsumeStart(FuzzedDataProvider& data, std::size_t length) {
  switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return std::nullopt;
    case 1:
      return data.ConsumeIntegral<int>();
    default:
      return data.ConsumeIntegralInRange<int>(-3, static_cast<int>(length) + 3);
  }
}

std::optional<int> ConsumeCount(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return std::nullopt;
    case 1:
      return data.ConsumeIntegral<int>();
    default:
      return data.ConsumeIntegralInRange(-2, 4);
  }
}

// The 0-based offset where scanning begins for a 1-based start position.
std::size_t StartOffset(std::optional<int> start) {
  return start ? static_cast<std::size_t>(std::max<std::int64_t>(std::int64_t{*start} - 1, 0)) : 0;
}

// The first match of `search` at a character start reached by stepping from `offset`, 1-based;
// -1 when none. A byte from 0x80 on starts a two-byte character.
int FirstMatch(std::string_view text, std::string_view search, std::size_t offset,
               bool ignore_case) {
  std::size_t p = offset;
  while (p < text.size()) {
    if (text.size() - p >= search.size() &&
        SameBytes(text.substr(p, search.size()), search, ignore_case)) {
      return static_cast<int>(p + 1);
    }
    if (Byte(text, p) >= 0x80 && p + 1 == text.size()) break;
    p += Byte(text, p) >= 0x80 ? 2 : 1;
  }
  return -1;
}

void CheckFindText(std::string_view text, std::string_view search, std::optional<int> start,
                   bool ignore_case) {
  const int found = FindText(text, search, start, ignore_case);
  const std::size_t offset = StartOffset(start);
  if (search.empty()) {
    FUZZ_CHECK(found == (offset < text.size() ? 1 : -1));
    return;
  }
  FUZZ_CHECK(found == -1 || (found >= 1 && static_cast<std::size_t>(found) <= text.size()));
  if (found != -1) {
    FUZZ_CHECK(static_cast<std::size_t>(found) >= offset + 1);
    FUZZ_CHECK(SameBytes(text.substr(found - 1, search.size()), search, ignore_case));
  }
  // The position must be the first character start holding a match, not just any match.
  FUZZ_CHECK(found == FirstMatch(text, search, offset, ignore_case));
}

void CheckReplaceText(std::string_view text, std::string_view search, std::string_view replacement,
                      std::optional<int> start, std::optional<int> count, bool case_sensitive) {
  const std::string result = ReplaceText(text, search, replacement, start, count, case_sensitive);
  FUZZ_CHECK(HasNoZero(result));
  if ((count && *count == 0) || search.empty()) FUZZ_CHECK(result == text);
  if (case_sensitive && search == replacement) FUZZ_CHECK(result == text);
  if (FindText(text, search, start, !case_sensitive) == -1) FUZZ_CHECK(result == text);
  // Each replacement changes the length by the same amount, so the difference counts them.
  if (!search.empty() && search.size() != replacement.size()) {
    const auto grown =
        static_cast<std::int64_t>(result.size()) - static_cast<std::int64_t>(text.size());
    const auto step =
        static_cast<std::int64_t>(replacement.size()) - static_cast<std::int64_t>(search.size());
    FUZZ_CHECK(grown % step == 0);
    const std::int64_t replaced = grown / step;
    FUZZ_CHECK(replaced >= 0);
    FUZZ_CHECK(replaced <= static_cast<std::int64_t>(text.size() / search.size()));
    if (count && *count > 0) FUZZ_CHECK(replaced <= *count);
  }
  // Bytes before the start position are never touched.
  const std::size_t offset = std::min(StartOffset(start), text.size());
  FUZZ_CHECK(result.compare(0, offset, text, 0, offset) == 0);
}

void CheckSplitText(std::string_view text, std::optional<std::string_view> delimiter,
                    std::optional<int> limit) {
  const TextArray members = SplitText(text, delimiter, limit);
  const std::string_view used = delimiter.value_or(",");
  if (text.empty() || (limit && *limit <= 0)) {
    FUZZ_CHECK(members.empty());
    return;
  }
  if (used.empty()) {
    FUZZ_CHECK(members.size() == 1 && members[0] == text);
    return;
  }
  FUZZ_CHECK(!members.empty());
  if (limit) FUZZ_CHECK(members.size() <= static_cast<std::size_t>(*limit));
  std::string joined;
  for (std::size_t i = 0; i < members.size(); ++i) {
    FUZZ_CHECK(HasNoZero(members[i]));
    if (i > 0) joined += used;
    joined += members[i];
  }
  const bool whole = joined == text || joined + std::string(used) == text;
  if (!limit || members.size() < static_cast<std::size_t>(*limit)) {
    FUZZ_CHECK(whole);
  } else {
    // A limit that was reached drops the rest: what is kept is still the text's beginning.
    FUZZ_CHECK(text.substr(0, joined.size()) == joined);
  }
}

void CheckTextBetween(std::string_view text, std::string_view front, std::string_view back,
                      std::optional<int> start, bool ignore_case) {
  const std::string result = TextBetween(text, front, back, start, ignore_case);
  FUZZ_CHECK(HasNoZero(result));
  if (result.empty()) return;
  // The markers as searched: the placeholder "#引号" (code page 936) stands for a double quote.
  const std::string quote_placeholder = "#\xD2\xFD\xBA\xC5";
  const std::string f =
      ReplaceText(front, quote_placeholder, "\"", std::nullopt, std::nullopt, true);
  const std::string b =
      ReplaceText(back, quote_placeholder, "\"", std::nullopt, std::nullopt, true);
  FUZZ_CHECK(result.size() + f.size() + b.size() <= text.size());
  // Some occurrence of the result must sit right after a front marker and right before a back
  // marker, with the front marker at or after the start position. An empty front marker is found
  // at byte 1 whatever the start position.
  const std::size_t offset = f.empty() ? 0 : StartOffset(start);
  bool placed = false;
  for (std::size_t p = f.size(); !placed && p + result.size() + b.size() <= text.size(); ++p) {
    placed = text.compare(p, result.size(), result) == 0 && p - f.size() >= offset &&
             SameBytes(text.substr(p - f.size(), f.size()), f, ignore_case) &&
             SameBytes(text.substr(p + result.size(), b.size()), b, ignore_case);
  }
  FUZZ_CHECK(placed);
}

void CheckReplacePairs(FuzzedDataProvider& data, std::string_view text) {
  // Half the time short ASCII pairs that do not grow the text: the kind that is replaced in one
  // pass when the pairs cannot overlap or feed each other.
  const bool short_ascii = data.ConsumeBool();
  const auto argument = [&](std::size_t max_bytes) {
    std::string bytes = data.ConsumeRandomLengthString(max_bytes);
    if (short_ascii) {
      for (char& c : bytes) c = static_cast<char>(c & 0x7F);
    }
    return WithoutZeros(bytes);
  };
  std::string search[5];
  std::string replacement[5];
  for (int i = 0; i < 5; ++i) {
    search[i] = argument(short_ascii ? 8 : kMaxArgumentBytes);
    replacement[i] = argument(short_ascii ? search[i].size() : kMaxArgumentBytes);
  }
  const std::optional<int> count = ConsumeCount(data);
  const std::optional<int> start = ConsumeStart(data, text.size());
  std::optional<bool> case_sensitive;
  if (data.ConsumeBool()) case_sensitive = data.ConsumeBool();
  const int pairs = data.ConsumeIntegralInRange(0, 5);

  // Each pair is one ReplaceText on the result of the one before.
  std::string expected(text);
  for (int i = 0; i < pairs; ++i) {
    expected = ReplaceText(expected, search[i], replacement[i],
                           start && *start != 0 ? start : std::optional<int>(1), count,
                           case_sensitive.value_or(false));
  }
  const ReplacePair p[5] = {{search[0], replacement[0]},
                            {search[1], replacement[1]},
                            {search[2], replacement[2]},
                            {search[3], replacement[3]},
                            {search[4], replacement[4]}};
  std::string result;
  switch (pairs) {
    case 0:
      result = ReplacePairs(text, count, start, case_sensitive, {});
      break;
    case 1:
      result = ReplacePairs(text, count, start, case_sensitive, {p[0]});
      break;
    case 2:
      result = ReplacePairs(text, count, start, case_sensitive, {p[0], p[1]});
      break;
    case 3:
      result = ReplacePairs(text, count, start, case_sensitive, {p[0], p[1], p[2]});
      break;
    case 4:
      result = ReplacePairs(text, count, start, case_sensitive, {p[0], p[1], p[2], p[3]});
      break;
    default:
      result = ReplacePairs(text, count, start, case_sensitive, {p[0], p[1], p[2], p[3], p[4]});
      break;
  }
  FUZZ_CHECK(HasNoZero(result));
  FUZZ_CHECK(result == expected);
}

}  // namespace
}  // namespace cuijian::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace cuijian::fuzz;
  FuzzedDataProvider data(bytes, size);
  const std::string text = WithoutZeros(data.ConsumeRandomLengthString(kMaxTextBytes));
  const std::string search = WithoutZeros(data.ConsumeRandomLengthString(kMaxArgumentBytes));
  const std::string other = WithoutZeros(data.ConsumeRandomLengthString(kMaxArgumentBytes));

  CheckFindText(text, search, ConsumeStart(data, text.size()), data.ConsumeBool());
  CheckReplaceText(text, search, other, ConsumeStart(data, text.size()), ConsumeCount(data),
                   data.ConsumeBool());
  CheckSplitText(text, data.ConsumeBool() ? std::optional<std::string_view>(search) : std::nullopt,
                 data.ConsumeBool() ? ConsumeCount(data) : std::nullopt);
  CheckTextBetween(text, search, other, ConsumeStart(data, text.size()), data.ConsumeBool());
  CheckReplacePairs(data, text);
  return 0;
}
