#include "text/bytes.h"

#include <gtest/gtest.h>

namespace cuijian {
namespace {

TEST(BytesTest, TextToBytesHasNoTerminator) {
  EXPECT_EQ(TextToBytes("a\xD6\xD0"), (Bytes{'a', 0xD6, 0xD0}));
  EXPECT_TRUE(TextToBytes("").empty());
}

TEST(BytesTest, LengthAndZeros) {
  EXPECT_EQ(BytesLength({}), 0);
  EXPECT_EQ(BytesLength(Bytes{0, 0, 1}), 3);
  EXPECT_EQ(ZeroBytes(3), (Bytes{0, 0, 0}));
  EXPECT_TRUE(ZeroBytes(0).empty());
  EXPECT_TRUE(ZeroBytes(-4).empty());
}

TEST(BytesTest, EqualComparesLengthAndEveryByte) {
  EXPECT_TRUE(BytesEqual({}, {}));
  EXPECT_TRUE(BytesEqual(Bytes{1, 0, 2}, Bytes{1, 0, 2}));
  EXPECT_FALSE(BytesEqual(Bytes{1, 0}, Bytes{1, 0, 0}));
  EXPECT_FALSE(BytesEqual(Bytes{1, 0, 2}, Bytes{1, 0, 3}));
}

TEST(BytesTest, ToTextStopsAtTheFirstZero) {
  EXPECT_EQ(BytesToText(Bytes{'a', 'b', 0, 'c'}), "ab");
  EXPECT_EQ(BytesToText(Bytes{0, 'a'}), "");
  EXPECT_EQ(BytesToText({}), "");
  EXPECT_EQ(BytesToText(Bytes{0xD6, 0xD0}), "\xD6\xD0");
}

}  // namespace
}  // namespace cuijian
