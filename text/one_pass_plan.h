#pragma once

// Pairs checked and prepared for the one-pass replacement.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "text/replace_pairs.h"

namespace cuijian::one_pass {

/// Longest search text a rule takes: a match is tested with one 64-bit load.
inline constexpr std::size_t kWord = 8;
/// Most bytes that may begin a match: each is looked for with one vector compare.
inline constexpr std::size_t kMaxFirstBytes = 4;

/// The eight bytes at `at` as a word, in memory order.
inline std::uint64_t LoadWord(const unsigned char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

/// One pair as the scan uses it: eight text bytes loaded at p as a word match when
/// ((word | fold_word) & mask_word) == search_word. fold_word sets the case bit on the search
/// text's letters unless case counts, mask_word keeps the search text's bytes, and
/// replacement_word holds the replacement padded with zeros.
struct Rule {
  std::uint64_t search_word = 0;
  std::uint64_t fold_word = 0;
  std::uint64_t mask_word = 0;
  std::uint64_t replacement_word = 0;
  std::size_t search_size = 0;
  std::size_t replacement_size = 0;
};

/// Pairs prepared for a one-pass replacement.
struct Plan {
  std::vector<Rule> rules;
  // Rule index plus one for every byte that begins a match, 0 for all other bytes.
  std::array<std::uint8_t, 256> rule_of{};
  std::array<unsigned char, kMaxFirstBytes> first_bytes{};
  std::size_t first_byte_count = 0;
};

/// The plan for `pairs` (empty search texts left out); nullopt when one pass would not give the
/// same bytes as replacing pair after pair (see ReplaceAllInOnePass).
std::optional<Plan> MakePlan(std::span<const ReplacePair> pairs, bool case_sensitive);

}  // namespace cuijian::one_pass
