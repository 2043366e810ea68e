#pragma once

// Slow, literal walkers of the scanning operations, step by step as their algorithms are written:
// one character at a time from the start position. The fast versions must give the same answers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cuijian::reference {

inline unsigned char Fold(unsigned char b) { return b >= 'A' && b <= 'Z' ? b + 0x20 : b; }

inline bool MatchAt(std::string_view t, std::size_t i, std::string_view s, bool fold) {
  for (std::size_t j = 0; j < s.size(); ++j) {
    auto a = static_cast<unsigned char>(t[i + j]);
    auto b = static_cast<unsigned char>(s[j]);
    if (fold ? Fold(a) != Fold(b) : a != b) return false;
  }
  return true;
}

inline std::size_t StartOffset(std::optional<int> start) {
  std::int64_t k = start ? std::int64_t{*start} - 1 : 0;
  return k < 0 ? 0 : static_cast<std::size_t>(k);
}

inline int FindText(std::string_view t, std::string_view s, std::optional<int> start,
                    bool ignore_case) {
  const std::size_t l = t.size(), n = s.size(), k = StartOffset(start);
  if (n == 0) return k < l ? 1 : -1;
  if (k >= l) return -1;
  std::size_t i = k;
  for (;;) {
    if (l - i < n) return -1;
    if (MatchAt(t, i, s, ignore_case)) return static_cast<int>(i + 1);
    if (static_cast<unsigned char>(t[i]) >= 0x80) {
      if (i == l - 1) return -1;
      i += 2;
    } else {
      i += 1;
    }
  }
}

inline std::string ReplaceText(std::string_view t, std::string_view s, std::string_view r,
                               std::optional<int> start, std::optional<int> count,
                               bool case_sensitive) {
  const std::size_t l = t.size(), n = s.size(), k = StartOffset(start);
  if (l == 0 || n == 0 || k >= l || (count && *count == 0)) return std::string(t);
  std::string out(t.substr(0, k));
  int done = 0;
  std::size_t i = k;
  while (l - i >= n) {
    if (MatchAt(t, i, s, !case_sensitive)) {
      out.append(r);
      i += n;
      if (count && *count > 0 && ++done == *count) break;
    } else {
      const std::size_t step = static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1;
      // A lead byte with nothing after it is kept: i never passes the end.
      const std::size_t take = step < l - i ? step : l - i;
      out.append(t.substr(i, take));
      i += take;
    }
  }
  out.append(t.substr(i));
  return out;
}

inline std::vector<std::string> SplitText(std::string_view t, std::optional<std::string_view> d,
                                          std::optional<int> limit) {
  const std::string_view delim = d ? *d : ",";
  const bool limited = limit.has_value();
  const int most = limited && *limit > 0 ? *limit : 0;
  std::vector<std::string> out;
  if (t.empty() || (limited && most == 0)) return out;
  if (delim.empty()) return {std::string(t)};
  const std::size_t l = t.size(), n = delim.size();
  std::size_t i = 0, piece = 0;
  while (l - i >= n) {
    if (MatchAt(t, i, delim, false)) {
      out.emplace_back(t.substr(piece, i - piece));
      i += n;
      piece = i;
      if (limited && static_cast<int>(out.size()) == most) return out;
    } else if (static_cast<unsigned char>(t[i]) >= 0x80) {
      if (i == l - 1) break;
      i += 2;
    } else {
      i += 1;
    }
  }
  if (piece != l) out.emplace_back(t.substr(piece));
  return out;
}

}  // namespace cuijian::reference
