// Fuzzes the book file name on arbitrary titles: whatever a page says, the name must stay one
// harmless file name inside the output folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/book_file_name.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace cuijian::fuzz;
  // A title is a text: the job never hands over a zero byte.
  const std::string title = WithoutZeros(std::string(reinterpret_cast<const char*>(bytes), size));
  const std::string name = cuijian::BookFileName(title);
  FUZZ_CHECK(name.size() >= 4 && name.size() <= 255);
  FUZZ_CHECK(name.compare(name.size() - 4, 4, ".txt") == 0);
  FUZZ_CHECK(name != "." && name != "..");
  FUZZ_CHECK(
      StrictUtf8(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()).has_value());
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
