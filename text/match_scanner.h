#pragma once

#include <cstddef>
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
class MatchScanner {
 public:
  static constexpr std::size_t kNone = std::string_view::npos;

  /// Prepares a scan of `text` for `needle` from offset `start`, which counts as a character
  /// start. `ignore_case` folds ASCII A-Z onto a-z only. Both views must outlive the scanner.
  /// An empty `needle` never matches.
  MatchScanner(std::string_view text, std::string_view needle, bool ignore_case, std::size_t start);

  /// Offset of the next match at a character start; kNone when none is left.
  std::size_t Next();

  /// Continues after the match at `offset`; the byte after the match counts as a character start.
  void SkipMatch(std::size_t offset);

 private:
  std::size_t FindCandidate(std::size_t from);
  std::size_t FindAnchor(std::size_t from, std::size_t limit);
  bool IsCharStart(std::size_t offset);
  bool FoldedMatchAt(std::size_t offset) const;

  const unsigned char* text_;
  std::size_t length_;
  std::string_view needle_;
  bool ignore_case_;
  // Scan position: no match starts before it.
  std::size_t position_;
  // A position known to be a character start; never after position_.
  std::size_t known_start_;
  // Ignore-case search: the needle byte looked for first and its other case (equal when it has
  // none), with the next offsets where each occurs (kNone once none is left).
  std::size_t anchor_index_ = 0;
  unsigned char anchor_ = 0;
  unsigned char anchor_other_ = 0;
  std::size_t next_anchor_ = 0;
  std::size_t next_anchor_other_ = 0;
};

}  // namespace cuijian
