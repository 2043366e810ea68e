#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// One search text and what replaces it; an empty search text does nothing.
struct ReplacePair {
  std::string_view search;
  std::string_view replacement;
};

/// `text` after ReplaceText of each pair in turn (the original call takes up to five), each on
/// the result of the one before; `count` limits each pair separately (omitted: all); `start`
/// omitted or 0 means 1; `case_sensitive` omitted means false (ASCII letters fold).
Text ReplacePairs(std::string_view text, std::optional<int> count, std::optional<int> start,
                  std::optional<bool> case_sensitive, std::initializer_list<ReplacePair> pairs);

}  // namespace cuijian
