#include "text/split_text.h"

#include "text/match_scanner.h"

namespace cuijian {

TextArray SplitText(std::string_view text, std::optional<std::string_view> delimiter,
                    std::optional<int> limit) {
  const std::string_view cut = delimiter.value_or(",");
  // A given limit below 0 counts as 0.
  const bool limited = limit.has_value();
  const std::size_t most = limited && *limit > 0 ? static_cast<std::size_t>(*limit) : 0;
  TextArray members;
  if (text.empty() || (limited && most == 0)) return members;
  if (cut.empty()) {
    members.emplace_back(text);
    return members;
  }

  MatchScanner scanner(text, cut, /*ignore_case=*/false, 0);
  std::size_t piece = 0;
  for (std::size_t at = scanner.Next(); at != MatchScanner::kNone; at = scanner.Next()) {
    members.emplace_back(text.substr(piece, at - piece));
    piece = at + cut.size();
    scanner.SkipMatch(at);
    // Reaching the limit drops the rest of the text.
    if (limited && members.size() == most) return members;
  }
  // A trailing delimiter leaves nothing behind it, and that gives no empty last member.
  if (piece != text.size()) members.emplace_back(text.substr(piece));
  return members;
}

}  // namespace cuijian
