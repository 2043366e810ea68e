#pragma once

#include <optional>
#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// The pieces of `text` between exact matches of `delimiter` (omitted: ",") at character starts:
/// a leading delimiter gives an empty first member, a trailing one no empty last member; at most
/// `limit` members (the rest dropped); no members for an empty text or a limit <= 0; the whole
/// text as one member for an empty delimiter.
TextArray SplitText(std::string_view text, std::optional<std::string_view> delimiter = std::nullopt,
                    std::optional<int> limit = std::nullopt);

}  // namespace cuijian
