#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace cuijian {
namespace {

TEST(CentredTopLeft, HalvesTheDifferenceTruncatingTowardZero) {
  struct Case {
    const char* name;
    QRect screen;
    QPoint expected;
  };
  const Case cases[] = {
      {"full hd", {0, 0, 1920, 1080}, {770, 453}},
      {"odd differences round down", {0, 0, 1025, 769}, {322, 297}},
      {"screen narrower than the window", {0, 0, 301, 100}, {-39, -37}},
      {"primary screen not at the origin", {100, 50, 800, 600}, {310, 263}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CentredTopLeft(c.screen, kMainWindowOuterSize), c.expected) << c.name;
  }
}

TEST(ClientSizeForOuter, TakesTheFrameOffAndNeverGoesBelowZero) {
  EXPECT_EQ(ClientSizeForOuter({380, 174}, {}), QSize(380, 174));
  EXPECT_EQ(ClientSizeForOuter({380, 174}, {3, 26, 3, 3}), QSize(374, 145));
  EXPECT_EQ(ClientSizeForOuter({10, 10}, {8, 30, 8, 8}), QSize(0, 0));
}

}  // namespace
}  // namespace cuijian
