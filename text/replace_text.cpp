#include "text/replace_text.h"

#include <cstdint>
#include <cstring>

#include "text/match_scanner.h"

namespace cuijian {

Text ReplaceText(std::string_view text, std::string_view search, std::string_view replacement,
                 std::optional<int> start, std::optional<int> count, bool case_sensitive) {
  const std::int64_t wanted = start.has_value() ? std::int64_t{*start} - 1 : 0;
  const std::size_t from = wanted < 0 ? 0 : static_cast<std::size_t>(wanted);
  // Omitted and negative counts both mean every match.
  const bool limited = count.has_value() && *count >= 0;
  const int limit = limited ? *count : 0;
  if (text.empty() || search.empty() || from >= text.size() || (limited && limit == 0)) {
    return Text(text);
  }

  MatchScanner scanner(text, search, !case_sensitive, from);
  Text result;
  if (replacement.size() <= search.size()) {
    // The result cannot outgrow the text: write into one buffer of that size, cut at the end.
    result.resize(text.size());
    char* out = result.data();
    std::memcpy(out, text.data(), from);
    out += from;
    std::size_t copied = from;
    int replaced = 0;
    for (std::size_t at = scanner.Next(); at != MatchScanner::kNone; at = scanner.Next()) {
      // Bytes between matches go through unchanged, including a final lone lead byte.
      // Matches often touch ("&nbsp;&nbsp;") and replacements are short: avoid library calls
      // for nothing or a few bytes.
      if (at != copied) std::memcpy(out, text.data() + copied, at - copied);
      out += at - copied;
      for (char c : replacement) *out++ = c;
      copied = at + search.size();
      scanner.SkipMatch(at);
      if (limited && ++replaced == limit) break;
    }
    std::memcpy(out, text.data() + copied, text.size() - copied);
    out += text.size() - copied;
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
  }

  result.reserve(text.size() + text.size() / 8);
  result.append(text.substr(0, from));
  std::size_t copied = from;
  int replaced = 0;
  for (std::size_t at = scanner.Next(); at != MatchScanner::kNone; at = scanner.Next()) {
    result.append(text.substr(copied, at - copied));
    result.append(replacement);
    copied = at + search.size();
    scanner.SkipMatch(at);
    if (limited && ++replaced == limit) break;
  }
  result.append(text.substr(copied));
  return result;
}

}  // namespace cuijian
