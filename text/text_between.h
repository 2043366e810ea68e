#pragma once

#include <optional>
#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// The bytes strictly between the first `front` marker found from `start` on and the first `back`
/// marker after it; in either marker the placeholder "#引号" (code page 936) stands for a double
/// quote. Empty when either marker is missing or the two touch.
Text TextBetween(std::string_view text, std::string_view front, std::string_view back,
                 std::optional<int> start = std::nullopt, bool ignore_case = false);

}  // namespace cuijian
