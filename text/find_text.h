#pragma once

#include <optional>
#include <string_view>

namespace cuijian {

/// 1-based position (from the start of `text`) of the first match of `search` that begins at a
/// character start, scanning from `start` (omitted, 0 or negative: byte 1); -1 when none.
/// An empty `search` gives 1 when the scanned stretch holds a byte, else -1.
/// With `ignore_case`, only ASCII A-Z fold onto a-z, byte by byte.
int FindText(std::string_view text, std::string_view search,
             std::optional<int> start = std::nullopt, bool ignore_case = false);

}  // namespace cuijian
