#pragma once

#include <string>
#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// The UTF-8 page in code page 936: "?" for each character without a form there and for each
/// malformed sequence, cut before the first zero byte; empty for an empty page. Thread-safe.
Text DecodeUtf8Page(const Bytes& page);

/// UTF-8 text in code page 936, by the rules of DecodeUtf8Page.
Text Utf8ToCp936(std::string_view utf8);

/// Code page 936 text in UTF-8 (for the window, the terminal and file names); "?" for each byte
/// sequence that is no character of the code page.
std::string Cp936ToUtf8(std::string_view text);

}  // namespace cuijian
