#include "engine/book_file_name.h"

#include <cstddef>

#include "engine/code_page.h"

namespace cuijian {
namespace {

constexpr std::string_view kExtension = ".txt";
// The longest name that common Linux file systems accept.
constexpr std::size_t kMaxNameBytes = 255;

// The full-width form of a character that file systems refuse in a name (or that would make the
// name a path); empty for every other character.
std::string_view FullWidthForm(char c) {
  switch (c) {
    case '/':
      return "\xEF\xBC\x8F";  // ／ U+FF0F
    case '\\':
      return "\xEF\xBC\xBC";  // ＼ U+FF3C
    case ':':
      return "\xEF\xBC\x9A";  // ： U+FF1A
    case '*':
      return "\xEF\xBC\x8A";  // ＊ U+FF0A
    case '?':
      return "\xEF\xBC\x9F";  // ？ U+FF1F
    case '"':
      return "\xEF\xBC\x82";  // ＂ U+FF02
    case '<':
      return "\xEF\xBC\x9C";  // ＜ U+FF1C
    case '>':
      return "\xEF\xBC\x9E";  // ＞ U+FF1E
    case '|':
      return "\xEF\xBD\x9C";  // ｜ U+FF5C
    default:
      return {};
  }
}

// Length of the UTF-8 sequence that starts at `utf8[at]`; a stray byte counts as one character
// so that a malformed input still advances.
std::size_t SequenceLength(std::string_view utf8, std::size_t at) {
  auto lead = static_cast<unsigned char>(utf8[at]);
  std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (at + length > utf8.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(utf8[at + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

// C0 controls, DEL and the C1 controls (U+0080 to U+009F, encoded C2 80 to C2 9F).
bool IsControl(std::string_view character) {
  auto first = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return first < 0x20 || first == 0x7F;
  return character.size() == 2 && first == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

}  // namespace

std::string BookFileName(std::string_view title) {
  const std::string utf8 = Cp936ToUtf8(title);
  std::string name;
  for (std::size_t at = 0; at < utf8.size();) {
    std::string_view character(utf8.data() + at, SequenceLength(utf8, at));
    at += character.size();
    if (IsControl(character)) continue;
    std::string_view full_width = character.size() == 1 ? FullWidthForm(character[0]) : "";
    std::string_view piece = full_width.empty() ? character : full_width;
    // Whole characters only, so the name never ends in half a character.
    if (name.size() + piece.size() + kExtension.size() > kMaxNameBytes) break;
    name += piece;
  }
  name += kExtension;
  return name;
}

}  // namespace cuijian
