#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cuijian {

/// Bytes in code page 936 (GBK) that never hold a zero byte; absent and empty are one value.
/// Positions and lengths count bytes, position 1 being the first byte.
using Text = std::string;

/// A byte buffer with its own length; may hold zero bytes. Pages arrive in this form.
using Bytes = std::vector<std::uint8_t>;

/// Texts numbered 1 to MemberCount; a member may be empty.
using TextArray = std::vector<Text>;

}  // namespace cuijian
