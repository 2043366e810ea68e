#include "text/bytes.h"

#include <algorithm>
#include <climits>

namespace cuijian {

Bytes TextToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

int BytesLength(const Bytes& bytes) {
  return bytes.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                          : static_cast<int>(bytes.size());
}

Bytes ZeroBytes(int n) { return n > 0 ? Bytes(static_cast<std::size_t>(n), 0) : Bytes(); }

bool BytesEqual(const Bytes& a, const Bytes& b) { return a == b; }

Text BytesToText(const Bytes& bytes) {
  // A Text never holds a zero byte: the text ends where the first one stands.
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return Text(bytes.begin(), end);
}

}  // namespace cuijian
