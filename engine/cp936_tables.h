#pragma once

#include <cstddef>
#include <cstdint>

namespace cuijian {

/// Leading bytes of double-byte characters run from 0x81 to 0xFE, trailing bytes from 0x40 to 0xFE.
inline constexpr int kCp936LeadFirst = 0x81;
inline constexpr int kCp936LeadLast = 0xFE;
inline constexpr int kCp936TrailFirst = 0x40;
inline constexpr int kCp936TrailLast = 0xFE;
inline constexpr int kCp936TrailCount = kCp936TrailLast - kCp936TrailFirst + 1;
inline constexpr std::size_t kCp936DoubleByteSlots =
    std::size_t{kCp936LeadLast - kCp936LeadFirst + 1} * kCp936TrailCount;

/// Code page 936 code of each BMP code point: below 0x100 a single byte, otherwise lead << 8 |
/// trail; 0 for a code point without a form there (and for U+0000, whose form is the zero byte).
/// Generated at build time from the vendor table.
extern const std::uint16_t kUnicodeToCp936[0x10000];

/// BMP code point of each double-byte code, at (lead - 0x81) * 191 + (trail - 0x40); 0 for a
/// pair that is no character. Generated at build time from the vendor table.
extern const std::uint16_t kCp936ToUnicode[kCp936DoubleByteSlots];

}  // namespace cuijian
