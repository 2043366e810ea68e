#include "text/text_basics.h"

#include <climits>
#include <cstring>

namespace cuijian {

int TextLength(std::string_view text) {
  return text.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
}

Text JoinTextList(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  Text joined;
  joined.reserve(total);
  for (std::string_view part : parts) joined.append(part);
  return joined;
}

int CompareTexts(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  // memcmp compares as unsigned bytes, which is the order wanted here.
  const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  if (order != 0) return order < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text MidText(std::string_view text, int start, int length) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size() || length <= 0) return Text();
  return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(length)));
}

int MemberCount(const TextArray& members) {
  return members.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                            : static_cast<int>(members.size());
}

}  // namespace cuijian
