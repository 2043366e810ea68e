#include "engine/cp936_tables.h"

#include <gtest/gtest.h>

#include "tests/engine/cp936_reference.h"

namespace cuijian {
namespace {

TEST(Cp936TablesTest, HoldExactlyTheVendorTableBothWays) {
  const auto table = testing::ReadCp936Table();
  ASSERT_EQ(table.size(), 21920u);
  int forward = 0;
  for (std::uint32_t cp = 0; cp < 0x10000; ++cp) forward += kUnicodeToCp936[cp] != 0;
  int backward = 0;
  for (const std::uint16_t cp : kCp936ToUnicode) backward += cp != 0;
  // U+0000 is the one mapping whose code is 0; 129 of the characters are single bytes.
  EXPECT_EQ(forward, 21919);
  EXPECT_EQ(backward, 21920 - 129);
  for (const auto& [cp, bytes] : table) {
    const auto b0 = static_cast<std::uint8_t>(bytes[0]);
    if (bytes.size() == 1) {
      EXPECT_EQ(kUnicodeToCp936[cp], b0) << std::hex << cp;
      continue;
    }
    const auto b1 = static_cast<std::uint8_t>(bytes[1]);
    EXPECT_EQ(kUnicodeToCp936[cp], b0 << 8 | b1) << std::hex << cp;
    EXPECT_EQ(kCp936ToUnicode[(b0 - kCp936LeadFirst) * kCp936TrailCount + (b1 - kCp936TrailFirst)],
              cp)
        << std::hex << cp;
  }
}

}  // namespace
}  // namespace cuijian
