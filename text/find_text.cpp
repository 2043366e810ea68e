#include "text/find_text.h"

#include <cstdint>

#include "text/match_scanner.h"

namespace cuijian {

int FindText(std::string_view text, std::string_view search, std::optional<int> start,
             bool ignore_case) {
  // 0, 1 and every negative start all mean the first byte.
  const std::int64_t wanted = start.has_value() ? std::int64_t{*start} - 1 : 0;
  const std::size_t from = wanted < 0 ? 0 : static_cast<std::size_t>(wanted);
  if (from >= text.size()) return -1;
  // An empty search text is found at byte 1 whatever the start, as long as anything is scanned.
  if (search.empty()) return 1;
  MatchScanner scanner(text, search, ignore_case, from);
  const std::size_t found = scanner.Next();
  return found == MatchScanner::kNone ? -1 : static_cast<int>(found + 1);
}

}  // namespace cuijian
