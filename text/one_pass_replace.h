#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "text/replace_pairs.h"
#include "text/text_types.h"

namespace cuijian {

/// `text` after replacing every match of each pair in turn from byte 1, computed in a single
/// pass; nullopt when the pairs are not of the kind for which one pass gives the same bytes as
/// pair after pair (then nothing was done). Pairs with an empty search text are left out.
///
/// One pass suffices when every search text is 1 to 8 ASCII bytes, every replacement is ASCII
/// and no longer than its search text, at most four bytes can begin a match, no search text
/// holds another's first byte (so matches of different pairs never overlap), and no replacement
/// of a pair with later pairs is empty or holds a byte of a later pair's search text (so a
/// replacement never creates a match for a later pair). ASCII in and out also keeps every later
/// byte's place in the character sequence, so the character rule gives the same matches.
/// ReplacePairs uses it for every call that replaces all matches from byte 1.
std::optional<Text> ReplaceAllInOnePass(std::string_view text, std::span<const ReplacePair> pairs,
                                        bool case_sensitive);

}  // namespace cuijian
