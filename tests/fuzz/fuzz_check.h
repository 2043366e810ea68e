#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

// A broken invariant is a finding: say which one and abort, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)

namespace cuijian::fuzz {

/// `bytes` without its zero bytes: the toolkit's texts never hold one.
inline std::string WithoutZeros(std::string bytes) {
  std::erase(bytes, '\0');
  return bytes;
}

/// True when `text` holds no zero byte.
inline bool HasNoZero(std::string_view text) { return text.find('\0') == std::string_view::npos; }

// The characters of strictly well-formed UTF-8 (no overlong form, no surrogate, nothing past
// U+10FFFF); nothing when the bytes are not.
inline std::optional<std::u32string> StrictUtf8(const std::uint8_t* bytes, std::size_t size) {
  std::u32string characters;
  for (std::size_t i = 0; i < size;) {
    const std::uint8_t b = bytes[i];
    int extra = 0;
    char32_t c = 0;
    if (b < 0x80) {
      c = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2, c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, c = b & 0x07;
    } else {
      return std::nullopt;
    }
    if (size - i <= static_cast<std::size_t>(extra)) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (bytes[i + k] & 0x3F);
    }
    const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < smallest[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return std::nullopt;
    characters += c;
    i += extra + 1;
  }
  return characters;
}

}  // namespace cuijian::fuzz
