#pragma once

#include <optional>
#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// `text` with the matches of `search` at character starts from `start` on (omitted, 0 or
/// negative: byte 1) replaced by `replacement`, left to right, never overlapping; `count`
/// omitted or negative replaces all, 0 none, c the first c. `case_sensitive` false folds ASCII.
/// `text` unchanged when it or `search` is empty or `start` lies past its end.
Text ReplaceText(std::string_view text, std::string_view search, std::string_view replacement = {},
                 std::optional<int> start = std::nullopt, std::optional<int> count = std::nullopt,
                 bool case_sensitive = false);

}  // namespace cuijian
