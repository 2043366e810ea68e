#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace cuijian {

/// Finds, left to right, the matches of a needle that begin where a character of code page 936
/// text begins: a byte 0x80 or above starts a two-byte character together with whatever byte
/// follows it, every other byte is a character of its own.
///
/// Candidates come from memchr/memmem; a candidate is then accepted only when it is a character
/// start. That is decided from the nearest position known to be a character start: the byte
/// after one below 0x80 always starts a character, so only the run of bytes 0x80 or above just
/// before the candidate matters, and its length's parity gives the answer. The known start only
/// moves forward, so the whole scan stays linear even in text made only of high bytes.
///
/// The per-match steps are inline: a chapter page holds a match every few dozen bytes.
class MatchScanner {
 public:
  static constexpr std::size_t kNone = std::string_view::npos;

  /// Prepares a scan of `text` for `needle` from offset `start`, which counts as a character
  /// start. `ignore_case` folds ASCII A-Z onto a-z only. Both views must outlive the scanner.
  /// An empty `needle` never matches.
  MatchScanner(std::string_view text, std::string_view needle, bool ignore_case, std::size_t start);

  /// Offset of the next match at a character start; kNone when none is left. Gives the same
  /// match again until SkipMatch moves past it.
  std::size_t Next() {
    const std::size_t n = needle_.size();
    while (n != 0 && position_ <= length_ && length_ - position_ >= n) {
      const std::size_t candidate = FindCandidate(position_);
      if (candidate == kNone) break;
      // Right after a byte below 0x80 (or at the known start) a character always begins.
      if (candidate == known_start_ || text_[candidate - 1] < 0x80 ||
          IsCharStartAfterRun(candidate)) {
        known_start_ = candidate;
        position_ = candidate;
        return candidate;
      }
      // The candidate is the second byte of a pair, so the byte after it starts a character.
      known_start_ = candidate + 1;
      position_ = candidate + 1;
    }
    position_ = length_;
    known_start_ = length_;
    return kNone;
  }

  /// Continues after the match at `offset`; the byte after the match counts as a character start.
  void SkipMatch(std::size_t offset) {
    position_ = offset + needle_.size();
    known_start_ = position_;
  }

 private:
  std::size_t FindCandidate(std::size_t from) {
    // Matches often follow each other directly ("&nbsp;&nbsp;"): try the spot itself first.
    if (ignore_case_ && FoldedMatchAt(from)) return from;
    return ignore_case_ ? FindFolded(from) : FindExact(from);
  }

  bool FoldedMatchAt(std::size_t offset) const {
    if (short_needle_ && length_ - offset >= 8) {
      std::uint64_t word;
      std::memcpy(&word, text_ + offset, sizeof word);
      return (FoldWord(word) & needle_mask_) == folded_needle_;
    }
    return FoldedMatchSlow(offset);
  }

  // ASCII A-Z of eight bytes at once onto a-z; bytes 0x80 and above are left alone.
  static std::uint64_t FoldWord(std::uint64_t word) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const std::uint64_t low7 = word & kLow7;
    const std::uint64_t at_least_a = low7 + 0x3F3F3F3F3F3F3F3FULL;  // sign set from 'A' on
    const std::uint64_t above_z = low7 + 0x2525252525252525ULL;     // sign set after 'Z'
    const std::uint64_t upper = at_least_a & ~above_z & ~word & kHigh;
    return word | (upper >> 2);
  }

  std::size_t FindExact(std::size_t from) const;
  std::size_t FindFolded(std::size_t from);
  std::size_t FindAnchor(std::size_t from, std::size_t limit);
  bool FoldedMatchSlow(std::size_t offset) const;
  bool IsCharStartAfterRun(std::size_t offset) const;

  const unsigned char* text_;
  std::size_t length_;
  std::string_view needle_;
  bool ignore_case_;
  // Scan position: no match starts before it.
  std::size_t position_;
  // A position known to be a character start; never after position_.
  std::size_t known_start_;
  // Ignore-case search of a needle of at most eight bytes: the needle folded, in the byte order
  // of a word loaded from memory, and the mask of its bytes.
  bool short_needle_ = false;
  std::uint64_t folded_needle_ = 0;
  std::uint64_t needle_mask_ = 0;
  // Ignore-case search: the needle byte looked for first and its other case (equal when it has
  // none), with the next offsets where each occurs (kNone once none is left).
  std::size_t anchor_index_ = 0;
  unsigned char anchor_ = 0;
  unsigned char anchor_other_ = 0;
  std::size_t next_anchor_ = kNone;
  std::size_t next_anchor_other_ = kNone;
};

}  // namespace cuijian
