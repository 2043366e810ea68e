#pragma once

#include <initializer_list>
#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// Number of bytes of `text`.
int TextLength(std::string_view text);

/// The parts one after another; an empty part adds nothing.
Text JoinTextList(std::initializer_list<std::string_view> parts);

/// JoinTextList over any texts (std::string, literals, string_view).
template <class... Parts>
Text JoinTexts(const Parts&... parts) {
  return JoinTextList({std::string_view(parts)...});
}

/// -1, 0 or +1 by unsigned byte order; a text that ends where the other goes on is the smaller.
int CompareTexts(std::string_view a, std::string_view b);

/// Bytes `start` to `start + length - 1` (1-based), cut at the end of `text`;
/// empty when start < 1, start > TextLength(text) or length <= 0.
Text MidText(std::string_view text, int start, int length);

/// Number of members; 0 for an empty array.
int MemberCount(const TextArray& members);

}  // namespace cuijian
