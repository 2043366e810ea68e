#include "text/match_scanner.h"

#include <array>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cuijian {
namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    table[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
  }
  return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

bool IsAsciiLetter(unsigned char b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

// How good a byte is as the one to look for first: ASCII punctuation and digits are rare in
// Chinese text, high bytes and spaces are common, letters need a search for two values.
int AnchorRank(unsigned char b) {
  if (IsAsciiLetter(b)) return 2;
  if (b > 0x20 && b < 0x80) return 0;
  return 1;
}

// Start of the run of bytes >= 0x80 that ends just before `end`, going no lower than `floor`.
std::size_t HighRunStart(const unsigned char* text, std::size_t floor, std::size_t end) {
  std::size_t q = end;
  // Chinese text is long runs of high bytes: walking them byte by byte would cost more than the
  // search itself, so whole blocks are tested at once.
#if defined(__SSE2__)
  // The sign bits of 64 bytes: the block is skipped when all are set.
  while (q - floor >= 64) {
    const auto* block = reinterpret_cast<const __m128i*>(text + q - 64);
    const __m128i all =
        _mm_and_si128(_mm_and_si128(_mm_loadu_si128(block), _mm_loadu_si128(block + 1)),
                      _mm_and_si128(_mm_loadu_si128(block + 2), _mm_loadu_si128(block + 3)));
    if (_mm_movemask_epi8(all) != 0xFFFF) break;
    q -= 64;
  }
  while (q - floor >= 16) {
    const auto high = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + q - 16))));
    const unsigned low = ~high & 0xFFFFu;
    if (low != 0) return q - 16 + static_cast<std::size_t>(31 - std::countl_zero(low)) + 1;
    q -= 16;
  }
#endif
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  while (q - floor >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text + q - 8, sizeof word);
    const std::uint64_t low = ~word & kHighBits;
    if (low != 0) {
      std::size_t last_low;  // index in memory order of the last byte below 0x80
      if constexpr (std::endian::native == std::endian::little) {
        last_low = static_cast<std::size_t>(63 - std::countl_zero(low)) / 8;
      } else {
        last_low = 7 - static_cast<std::size_t>(std::countr_zero(low)) / 8;
      }
      return q - 8 + last_low + 1;
    }
    q -= 8;
  }
  while (q > floor && text[q - 1] >= 0x80) --q;
  return q;
}

std::size_t FindByte(const unsigned char* text, std::size_t from, std::size_t limit,
                     unsigned char value) {
  if (from >= limit) return MatchScanner::kNone;
  const void* hit = std::memchr(text + from, value, limit - from);
  return hit == nullptr ? MatchScanner::kNone
                        : static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - text);
}

}  // namespace

MatchScanner::MatchScanner(std::string_view text, std::string_view needle, bool ignore_case,
                           std::size_t start)
    : text_(reinterpret_cast<const unsigned char*>(text.data())),
      length_(text.size()),
      needle_(needle),
      ignore_case_(false),
      position_(start),
      known_start_(start) {
  if (!ignore_case) return;
  int best_rank = 3;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const auto b = static_cast<unsigned char>(needle[i]);
    if (IsAsciiLetter(b)) ignore_case_ = true;
    const int rank = AnchorRank(b);
    if (rank < best_rank) {
      best_rank = rank;
      anchor_index_ = i;
    }
  }
  // Without letters folding changes nothing, and the exact search is the faster one.
  if (!ignore_case_) return;
  if (needle.size() <= 8) {
    unsigned char folded[8] = {};
    unsigned char mask[8] = {};
    for (std::size_t i = 0; i < needle.size(); ++i) {
      folded[i] = kFold[static_cast<unsigned char>(needle[i])];
      mask[i] = 0xFF;
    }
    std::memcpy(&folded_needle_, folded, sizeof folded_needle_);
    std::memcpy(&needle_mask_, mask, sizeof needle_mask_);
    short_needle_ = true;
  }
  anchor_ = kFold[static_cast<unsigned char>(needle[anchor_index_])];
  anchor_other_ = IsAsciiLetter(anchor_) ? static_cast<unsigned char>(anchor_ - 0x20) : anchor_;
  next_anchor_ = FindByte(text_, start + anchor_index_, length_, anchor_);
  if (anchor_other_ != anchor_) {
    next_anchor_other_ = FindByte(text_, start + anchor_index_, length_, anchor_other_);
  }
}

std::size_t MatchScanner::FindExact(std::size_t from) const {
  const std::size_t n = needle_.size();
  if (n == 1) return FindByte(text_, from, length_, static_cast<unsigned char>(needle_[0]));
  const void* hit = memmem(text_ + from, length_ - from, needle_.data(), n);
  return hit == nullptr ? kNone
                        : static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - text_);
}

std::size_t MatchScanner::FindFolded(std::size_t from) {
  // The anchor byte of a match at p sits at p + anchor_index_, and p + n <= length_.
  const std::size_t limit = length_ - needle_.size() + anchor_index_ + 1;
  for (std::size_t at = from + anchor_index_;;) {
    const std::size_t hit = FindAnchor(at, limit);
    if (hit == kNone) return kNone;
    const std::size_t candidate = hit - anchor_index_;
    if (FoldedMatchAt(candidate)) return candidate;
    at = hit + 1;
  }
}

std::size_t MatchScanner::FindAnchor(std::size_t from, std::size_t limit) {
  // Each cached offset only moves forward, so the two searches stay linear together.
  if (next_anchor_ != kNone && next_anchor_ < from) {
    next_anchor_ = FindByte(text_, from, length_, anchor_);
  }
  if (next_anchor_other_ != kNone && next_anchor_other_ < from) {
    next_anchor_other_ = FindByte(text_, from, length_, anchor_other_);
  }
  const std::size_t hit = next_anchor_ < next_anchor_other_ ? next_anchor_ : next_anchor_other_;
  return hit < limit ? hit : kNone;
}

bool MatchScanner::FoldedMatchSlow(std::size_t offset) const {
  if (length_ - offset < needle_.size()) return false;
  const unsigned char* at = text_ + offset;
  const auto* needle = reinterpret_cast<const unsigned char*>(needle_.data());
  for (std::size_t i = 0; i < needle_.size(); ++i) {
    if (kFold[at[i]] != kFold[needle[i]]) return false;
  }
  return true;
}

bool MatchScanner::IsCharStartAfterRun(std::size_t offset) const {
  // Every byte from the run start up to offset is >= 0x80, so the characters there are pairs:
  // offset starts one when its distance from the run start is even.
  return (offset - HighRunStart(text_, known_start_, offset)) % 2 == 0;
}

}  // namespace cuijian
