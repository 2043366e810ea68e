#pragma once

#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// The text's bytes, no terminator; empty for the empty text.
Bytes TextToBytes(std::string_view text);

/// Number of bytes.
int BytesLength(const Bytes& bytes);

/// `n` zero bytes; empty for n <= 0.
Bytes ZeroBytes(int n);

/// True when both hold the same bytes in the same order (two empty values are equal).
bool BytesEqual(const Bytes& a, const Bytes& b);

/// The bytes before the first zero byte (all when none); empty when the buffer is empty or starts
/// with a zero byte.
Text BytesToText(const Bytes& bytes);

}  // namespace cuijian
