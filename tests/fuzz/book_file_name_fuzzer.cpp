// Fuzzes the book file name on arbitrary titles: whatever a page says, the name must stay one
// harmless file name inside the output folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/book_file_name.h"
#include "tests/fuzz/fuzz_check.h"

namespace cuijian::fuzz {
namespace {

// Strictly well-formed UTF-8: no overlong form, no surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
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
      return false;
    }
    if (text.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < smallest[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace
}  // namespace cuijian::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace cuijian::fuzz;
  // A title is a text: the job never hands over a zero byte.
  const std::string title = WithoutZeros(std::string(reinterpret_cast<const char*>(bytes), size));
  const std::string name = cuijian::BookFileName(title);
  FUZZ_CHECK(name.size() >= 4 && name.size() <= 255);
  FUZZ_CHECK(name.compare(name.size() - 4, 4, ".txt") == 0);
  FUZZ_CHECK(name != "." && name != "..");
  FUZZ_CHECK(IsUtf8(name));
  // Separators and the characters that common file systems refuse become full-width forms;
  // control characters are dropped.
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    FUZZ_CHECK(b >= 0x20 && b != 0x7F);
    FUZZ_CHECK(std::string_view("/\\:*?\"<>|").find(c) == std::string_view::npos);
  }
  if (title.empty()) FUZZ_CHECK(name == ".txt");
  return 0;
}
