#pragma once

#include <cstdio>
#include <cstdlib>
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

}  // namespace cuijian::fuzz
