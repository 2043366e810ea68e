#pragma once

#include <string>
#include <string_view>

namespace cuijian {

/// The file name (UTF-8, ending in ".txt", at most 255 bytes) for a book title in code page 936:
/// one name, never a path: / \ : * ? " < > | become their full-width forms, control characters
/// are dropped. An empty title gives ".txt".
std::string BookFileName(std::string_view title);

}  // namespace cuijian
