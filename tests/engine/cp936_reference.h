#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace cuijian::testing {

/// The vendor table read afresh from the project's copy: BMP code point -> code page 936 bytes.
/// Empty when the file cannot be read.
inline std::map<std::uint32_t, std::string> ReadCp936Table() {
  std::map<std::uint32_t, std::string> table;
  std::ifstream in(CUIJIAN_CP936_TABLE);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string code;
    std::string unicode;
    fields >> code >> unicode;
    if (unicode.rfind("0x", 0) != 0) continue;  // undefined codes and bare lead bytes
    const unsigned long value = std::strtoul(code.c_str(), nullptr, 16);
    std::string bytes;
    if (code.size() > 4) bytes += static_cast<char>(value >> 8);
    bytes += static_cast<char>(value & 0xFF);
    table[static_cast<std::uint32_t>(std::strtoul(unicode.c_str(), nullptr, 16))] = bytes;
  }
  return table;
}

/// UTF-8 form of a code point (no checks: surrogates and all are encoded as given).
inline std::string Utf8Of(std::uint32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

}  // namespace cuijian::testing
