// Fuzzes the page decoder on arbitrary bytes: the result must be well-formed code page 936 with no
// zero byte, every pair a code that the vendor table defines, and, for well-formed UTF-8, exactly
// the table's form of each character ("?" for the characters that the code page lacks).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/code_page.h"
#include "tests/fuzz/fuzz_check.h"

namespace cuijian::fuzz {
namespace {

struct CodePageTable {
  bool loaded = false;
  std::vector<bool> defined_pair = std::vector<bool>(0x10000, false);
  std::unordered_map<char32_t, std::string> form_of;  // the code page's bytes of a character
};

// Reads the vendor table's "0xXXXX<tab>0xUUUU" lines; single bytes and unmapped lines are skipped
// for the pair set but single bytes still give their character's form.
CodePageTable LoadTable() {
  CodePageTable table;
#ifdef CUIJIAN_CP936_TABLE
  std::ifstream file(CUIJIAN_CP936_TABLE);
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string code_text, unicode_text;
    fields >> code_text >> unicode_text;
    if (unicode_text.rfind("0x", 0) != 0) continue;
    const unsigned long code = std::stoul(code_text, nullptr, 16);
    const auto unicode = static_cast<char32_t>(std::stoul(unicode_text, nullptr, 16));
    if (code > 0xFF) {
      table.defined_pair[code] = true;
      table.form_of[unicode] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    } else {
      table.form_of[unicode] = std::string(1, static_cast<char>(code));
    }
  }
  table.loaded = table.form_of.size() > 20000;
  if (!table.loaded) std::fprintf(stderr, "cannot read %s\n", CUIJIAN_CP936_TABLE);
#endif
  return table;
}

const CodePageTable& Table() {
  static const CodePageTable table = LoadTable();
  return table;
}

// Well-formed code page 936: bytes below 0x81 stand alone (0x80 is the euro sign), 0x81 to 0xFE
// lead a defined pair, 0xFF never occurs.
bool IsCodePage936(const std::string& text) {
  const CodePageTable& table = Table();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x81) continue;
    if (lead == 0xFF || i + 1 == text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (table.loaded) {
      if (!table.defined_pair[lead << 8 | trail]) return false;
    } else if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
      return false;
    }
  }
  return true;
}

}  // namespace
}  // namespace cuijian::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  cuijian::fuzz::Table();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace cuijian::fuzz;
  const cuijian::Bytes page(bytes, bytes + size);
  const std::string text = cuijian::DecodeUtf8Page(page);
  FUZZ_CHECK(HasNoZero(text));
  FUZZ_CHECK(IsCodePage936(text));
  if (size == 0) FUZZ_CHECK(text.empty());

  const std::optional<std::u32string> characters = StrictUtf8(bytes, size);
  if (!characters || !Table().loaded) return 0;
  std::string expected;
  for (char32_t c : *characters) {
    if (c == 0) break;  // the result ends before the first zero byte
    auto form = Table().form_of.find(c);
    expected += form == Table().form_of.end() ? std::string("?") : form->second;
  }
  if (text != expected) {
    std::fprintf(stderr, "decoded %zu bytes, expected %zu\n", text.size(), expected.size());
  }
  FUZZ_CHECK(text == expected);
  return 0;
}
