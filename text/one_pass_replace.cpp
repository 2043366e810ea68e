#include "text/one_pass_replace.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "text/one_pass_plan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cuijian {
namespace {

using one_pass::kWord;
using one_pass::LoadWord;
using one_pass::Plan;
using one_pass::Rule;

// Bytes are scanned in blocks whose facts fit one 64-bit word each.
constexpr std::size_t kBlock = 64;

// The match test for the last few bytes, where eight cannot be loaded.
bool MatchesNear(const Rule& rule, const unsigned char* at, const unsigned char* end) {
  if (static_cast<std::size_t>(end - at) < rule.search_size) return false;
  std::array<unsigned char, kWord> word{};
  std::memcpy(word.data(), at, rule.search_size);
  return ((LoadWord(word.data()) | rule.fold_word) & rule.mask_word) == rule.search_word;
}

// Of one block of up to 64 bytes: which are 0x80 or above, and which can begin a match.
struct BlockBits {
  std::uint64_t high = 0;
  std::uint64_t candidates = 0;
};

// `kFirsts` is how many bytes can begin a match: each costs one compare per sixteen bytes.
template <std::size_t kFirsts>
BlockBits ScanBlock(const Plan& plan, const unsigned char* at, std::size_t size) {
  BlockBits bits;
#if defined(__SSE2__)
  if (size == kBlock) {
    __m128i firsts[kFirsts];
    for (std::size_t i = 0; i < kFirsts; ++i) {
      firsts[i] = _mm_set1_epi8(static_cast<char>(plan.first_bytes[i]));
    }
    for (std::size_t part = 0; part < kBlock / 16; ++part) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * part));
      __m128i hits = _mm_cmpeq_epi8(bytes, firsts[0]);
      for (std::size_t i = 1; i < kFirsts; ++i) {
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, firsts[i]));
      }
      bits.high |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(bytes))}
                   << (16 * part);
      bits.candidates |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(hits))}
                         << (16 * part);
    }
    return bits;
  }
#endif
  for (std::size_t i = 0; i < size; ++i) {
    bits.high |= std::uint64_t{at[i] >= 0x80} << i;
    bits.candidates |= std::uint64_t{plan.rule_of[at[i]] != 0} << i;
  }
  return bits;
}

// Copies [from, to) to `out` and returns the end of the copy. Short gaps, the usual case
// between tags, are copied as sixteen bytes when there are that many to read before `end`; the
// bytes stored past the gap are overwritten later or cut off.
unsigned char* CopyGap(unsigned char* out, const unsigned char* from, const unsigned char* to,
                       const unsigned char* end) {
  const auto gap = static_cast<std::size_t>(to - from);
  if (gap <= 16 && end - from >= 16) {
    std::memcpy(out, from, 16);
  } else {
    std::memcpy(out, from, gap);
  }
  return out + gap;
}

// Writes the replacement of [begin, end) to `out`, block by block; returns the result's end.
template <std::size_t kFirsts>
unsigned char* RunBlocks(const Plan& plan, const unsigned char* begin, const unsigned char* end,
                         unsigned char* out) {
  const unsigned char* copied = begin;  // the text before it is in the result
  // Whether the block begins a character: a byte 0x80 or above starts a two-byte character with
  // whatever byte follows it. After a byte below 0x80 a character always begins, and every
  // match ends on one, so where characters begin is a matter of the text alone.
  bool at_start = true;
  for (const unsigned char* block = begin; block < end; block += kBlock) {
    const auto size = static_cast<std::size_t>(end - block) < kBlock
                          ? static_cast<std::size_t>(end - block)
                          : kBlock;
    const BlockBits bits = ScanBlock<kFirsts>(plan, block, size);
    const std::uint64_t low =
        ~bits.high & (size == kBlock ? ~std::uint64_t{0} : (std::uint64_t{1} << size) - 1);
    for (std::uint64_t left = bits.candidates; left != 0; left &= left - 1) {
      const int k = std::countr_zero(left);
      const unsigned char* const at = block + k;
      if (at < copied) continue;  // inside the match just replaced
      // After the last byte below 0x80 before the candidate a character begins and the high
      // bytes pair up from there; with none, the pairs run from the block's start.
      const std::uint64_t low_before = low & ((std::uint64_t{1} << k) - 1);
      const bool starts = low_before != 0 ? (k - 1 - (63 - std::countl_zero(low_before))) % 2 == 0
                                          : (k % 2 == 0) == at_start;
      if (!starts) continue;
      const Rule& rule = plan.rules[plan.rule_of[*at] - 1];
      const bool whole_word = end - at >= static_cast<std::ptrdiff_t>(kWord);
      if (whole_word ? ((LoadWord(at) | rule.fold_word) & rule.mask_word) != rule.search_word
                     : !MatchesNear(rule, at, end)) {
        continue;
      }
      out = CopyGap(out, copied, at, end);
      std::memcpy(out, &rule.replacement_word, whole_word ? kWord : rule.replacement_size);
      out += rule.replacement_size;
      copied = at + rule.search_size;
    }
    // High bytes after the block's last byte below 0x80 pair up; a block of high bytes only
    // keeps the state, as 64 bytes are 32 pairs.
    if (low != 0) at_start = std::countl_zero(low) % 2 == 0;
  }
  return CopyGap(out, copied, end, end);
}

}  // namespace

std::optional<Text> ReplaceAllInOnePass(std::string_view text, std::span<const ReplacePair> pairs,
                                        bool case_sensitive) {
  const std::optional<Plan> plan = one_pass::MakePlan(pairs, case_sensitive);
  if (!plan.has_value()) return std::nullopt;
  // Up to any point of the text the result is no longer than the text up to there, so stores
  // that reach at most as far past the result's end as the text reaches past the same point
  // stay inside it.
  Text result(text.size(), '\0');
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = begin + text.size();
  auto* const first = reinterpret_cast<unsigned char*>(result.data());
  unsigned char* last = first;
  switch (plan->first_byte_count) {
    case 1:
      last = RunBlocks<1>(*plan, begin, end, first);
      break;
    case 2:
      last = RunBlocks<2>(*plan, begin, end, first);
      break;
    case 3:
      last = RunBlocks<3>(*plan, begin, end, first);
      break;
    default:
      last = RunBlocks<one_pass::kMaxFirstBytes>(*plan, begin, end, first);
      break;
  }
  result.resize(static_cast<std::size_t>(last - first));
  return result;
}

}  // namespace cuijian
